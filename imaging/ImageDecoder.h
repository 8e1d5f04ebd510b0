#pragma once
// The load entry point: reads a file, tells its format from the content and
// hands it to the decoder for that format.

#include "ImgXDocument.h"
#include "LoadOptions.h"

namespace ImageDecoder {
// Every page of the file (only page `page` for a thumbnail load). Page
// `page` is decoded and fully described; the other pages of a file of many
// pages carry the source that decodes them when wanted. Throws ImgXError.
QVector<ImgXPage> decodeFile(const QString &path, int page, const LoadOptions &options);
// The same for bytes already in memory; suffix stands in for the file
// name's extension.
QVector<ImgXPage> decodeData(const QByteArray &data, const QString &suffix, int page, const LoadOptions &options);
}
