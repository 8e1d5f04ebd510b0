#pragma once
// The skin engine. A skin file is a text file of named skin objects, each a
// set of Qt style-sheet rules:
//
//   [Button]
//   QPushButton { background: ...; }
//
// "form" is the default form skin that ApplySkin uses; the other objects
// ("smallform", "Button", "Label", "CheckBox", "Radio", "StatusBar",
// "Toolbar", "Splitter") are applied by name. Names are matched without
// regard to letter case, so "Label" and "label" are one object. A missing
// or damaged skin file leaves the native look.

#include <QHash>
#include <QString>

class QWidget;

class SkinEngine {
public:
    // Loads the skin file; false (and no skin) when it cannot be read or
    // holds no skin object.
    bool LoadSkin(const QString &path);
    bool isLoaded() const { return !m_objects.isEmpty(); }
    // Skins a top-level window with the default form skin.
    void ApplySkin(QWidget *window);
    // Skins one window with the named skin object; an unknown name does nothing.
    void ApplySkinByName(QWidget *widget, const QString &name);
    // The style sheet of a skin object ("" when the skin has none).
    QString styleSheet(const QString &name) const;

    // The main window's engine, through which every other window skins
    // itself. Before the main window registers one, a shared engine with no
    // skin stands in, so skinning calls are always safe.
    static SkinEngine &main();
    static void setMain(SkinEngine *engine);

private:
    QHash<QString, QString> m_objects;   // lower-cased name -> style sheet
};
