#pragma once

#include "forms/windowed.h"

#include <functional>
#include <memory>
#include <QString>
#include <QStringList>

class QListWidget;

namespace tk {

class Program;

struct FileListBoxDesign {
    Placement placement;
    // Wildcards separated by ";", matched without regard to case.
    QString pattern = QStringLiteral("*.*");
    FontDesign font;
    Color backColor = systemWindowBackground;
    Color foreColor = systemWindowText;
    // What a screen reader calls the list, which has no caption of its own to be read.
    QString accessibleName;
};

// The files of the current directory that match the pattern: regular files only, no folders and
// no hidden dot-files, bare names sorted by name without regard to case. A name that is not
// valid UTF-8 is listed as Windows-1252 reads it (see runtime/filenames.h).
//
// Click is raised once for every selection, whether by the mouse, the keys or the program, and
// again when the selected entry is clicked once more. A double-click raises Click for its first
// press, then DblClick.
class FileListBox {
public:
    FileListBox(Form& form, const FileListBoxDesign& design);
    ~FileListBox();

    // The folder listed, as it was when the list was filled.
    QString path() const;
    // Matching files left out because their names are not valid UTF-8 and no name shown could
    // lead back to them, as best they can be shown.
    const QStringList& unlistable() const { return badlyNamed; }
    int listCount() const;
    QString list(int index) const;

    // Selects entry `index`, which must exist; raises Click unless it was selected already.
    void select(int index);
    // The selected entry's name, or empty while none is selected.
    QString fileName() const;

    void setClickHandler(std::function<void()> handler);
    void setDblClickHandler(std::function<void()> handler);

    QListWidget* widget() const;

private:
    class Widget;
    void requireEntry(int index) const;

    Program& running;
    QString folder;
    QStringList names;
    QStringList badlyNamed;
    std::unique_ptr<Widget> box;
    std::function<void()> onClick;
    std::function<void()> onDblClick;
    bool selectingByProgram = false;
};

} // namespace tk
