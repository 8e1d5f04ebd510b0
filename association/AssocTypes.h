#pragma once
// The fifteen image types the program registers itself for, in the order
// they are registered, checked and listed in the question.

#include <array>

struct AssocType {
    const char *extension;
    const char *progId;
    const char *description;
    const char *iconFile;    // under the program's folder
    const char *listWord;    // what the type adds to the question's list
};

inline constexpr std::array<AssocType, 15> AssocTypes{{
    {".jpg", "Quillmere.jpg", "Quillmere JPG image", "/icons/jpg.ico", " jpg "},
    {".jpeg", "Quillmere.jpeg", "Quillmere JPEG image", "/icons/jpg.ico", " jpeg "},
    {".gif", "Quillmere.gif", "Quillmere GIF image", "/icons/gif.ico", " gif "},
    {".bmp", "Quillmere.bmp", "Quillmere BMP image", "/icons/bmp.ico", " bmp "},
    {".dib", "Quillmere.dib", "Quillmere DIB image", "/icons/dib.ico", " dib "},
    {".png", "Quillmere.png", "Quillmere PNG image", "/icons/png.ico", " png "},
    {".psd", "Quillmere.psd", "Quillmere PSD image", "/icons/psd.ico", " psd "},
    {".tif", "Quillmere.tif", "Quillmere TIF image", "/icons/tif.ico", " tif "},
    {".pcx", "Quillmere.pcx", "Quillmere PCX image", "/icons/pcx.ico", " pcx "},
    {".tga", "Quillmere.tga", "Quillmere TGA image", "/icons/tga.ico", " tga "},
    {".wbmp", "Quillmere.wbmp", "Quillmere WBMB image", "/icons/wbmb.ico", " wbmp "},
    {".wmf", "Quillmere.wmf", "Quillmere WMF image", "/icons/wmf.ico", " wmf "},
    {".ico", "Quillmere.ico", "Quillmere Icon", "/icons/ico.ico", " ico "},
    {".emf", "Quillmere.emf", "Quillmere EMF image", "/icons/emf.ico", " emf "},
    {".tla", "Quillmere.tla", "Quillmere TLA image", "/icons/icon.ico", " tla "},
}};
