#include "forms/filelistbox.h"

#include "formparts.h"
#include "forms/form.h"
#include "handlers.h"
#include "runtime/filenames.h"
#include "runtime/runtimeerror.h"
#include "windowedparts.h"

#include <algorithm>
#include <dirent.h>
#include <fcntl.h>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QMouseEvent>
#include <sys/stat.h>

namespace tk {

namespace {

// The folder's files that match, read by the names the folder holds: a name that is valid UTF-8 as
// it is, another as Windows-1252 reads it. A name is listed where it leads back to its file; one
// that leads elsewhere (a file has the same name in UTF-8) or nowhere (a byte the code page lacks)
// is only reported. The folder is read here rather than through QDir, which leaves out names that
// are not UTF-8 and, in Qt 6.8, every name of a folder that holds one beside its UTF-8 twin.
struct Listing {
    QStringList listed;
    QStringList unlistable;
};

// By name without regard to case, as QDir sorts, names equal but for case by their case.
void sortByName(QStringList& names) {
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        const int folded = a.toLower().compare(b.toLower());
        return folded != 0 ? folded < 0 : a < b;
    });
}

// What QDir lists as files: regular files, and links to anything that exists and is not a folder
// (a link to a device is listed, and refused when it is read); FIFOs, sockets and devices
// themselves are not.
bool isListedKind(int folder, const char* name) {
    struct stat info = {};
    if (::fstatat(folder, name, &info, AT_SYMLINK_NOFOLLOW) != 0)
        return false;
    if (S_ISREG(info.st_mode))
        return true;
    return S_ISLNK(info.st_mode) && ::fstatat(folder, name, &info, 0) == 0 &&
           !S_ISDIR(info.st_mode);
}

Listing filesMatching(const QString& folder, const QStringList& wildcards) {
    Listing found;
    DIR* dir = ::opendir(QFile::encodeName(folder).constData());
    if (!dir)
        return found;
    while (const dirent* entry = ::readdir(dir)) {
        const QByteArray raw(entry->d_name);
        if (raw.startsWith('.'))
            continue;
        const QString shown = shownFileName(raw);
        if (!QDir::match(wildcards, shown) || !isListedKind(::dirfd(dir), raw.constData()))
            continue;
        if (fileNameBytes(shown) == raw)
            found.listed << shown;
        else
            found.unlistable << QString::fromUtf8(raw);
    }
    ::closedir(dir);
    sortByName(found.listed);
    found.unlistable.sort(Qt::CaseInsensitive);
    return found;
}

// Each entry is one line: a line break or other control character in a name would cut it, so it
// is shown as "?", as ls shows it. The name itself is kept as it is.
QString shownName(QString name) {
    for (QChar& c : name) {
        if (c.category() == QChar::Other_Control)
            c = QLatin1Char('?');
    }
    return name;
}

} // namespace

class FileListBox::Widget final : public QListWidget {
public:
    Widget(QWidget* parent, FileListBox& owner) : QListWidget(parent), owner(owner) {
        setSelectionMode(QAbstractItemView::SingleSelection);
        setEditTriggers(QAbstractItemView::NoEditTriggers);
        setUniformItemSizes(true);
        setFrameStyle(QFrame::Box | QFrame::Plain);
        setFocusPolicy(Qt::StrongFocus);
    }

protected:
    // The selection moves with the mouse and the keys but is never cleared, not even by a
    // Ctrl-click on the selected entry.
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* event) const override {
        if (!index.isValid() || (event && event->type() == QEvent::MouseButtonRelease))
            return QItemSelectionModel::NoUpdate;
        return QItemSelectionModel::ClearAndSelect;
    }

    void mousePressEvent(QMouseEvent* event) override {
        if (event->button() != Qt::LeftButton)
            return;
        // A press on a new entry raises Click through the selection change; a press on the
        // selected one changes nothing and must raise it here.
        const bool again = isSelectedAt(event->position().toPoint());
        QListWidget::mousePressEvent(event);
        if (again)
            raiseEvent(owner.running, owner.onClick);
    }

    void mouseDoubleClickEvent(QMouseEvent* event) override {
        if (event->button() != Qt::LeftButton)
            return;
        // The first press has selected the entry; a second press that lands on another one is
        // a press of its own.
        if (isSelectedAt(event->position().toPoint()))
            raiseEvent(owner.running, owner.onDblClick);
        else
            mousePressEvent(event);
    }

private:
    bool isSelectedAt(QPoint position) const {
        const QModelIndex hit = indexAt(position);
        return hit.isValid() && selectionModel()->isSelected(hit);
    }

    FileListBox& owner;
};

FileListBox::FileListBox(Form& form, const FileListBoxDesign& design)
    : running(form.program()), box(std::make_unique<Widget>(form.widget(), *this)) {
    const QDir directory(QDir::currentPath());
    folder = directory.absolutePath();
    QStringList wildcards;
    for (const QString& wildcard : design.pattern.split(QLatin1Char(';'), Qt::SkipEmptyParts))
        wildcards << wildcard.trimmed();
    // Dot-files stay out; the wildcards match without regard to case (*.bmp matches SOL.BMP).
    Listing listing = filesMatching(folder, wildcards);
    names = std::move(listing.listed);
    badlyNamed = std::move(listing.unlistable);
    for (const QString& name : names)
        box->addItem(shownName(name));

    box->setFont(toQFont(design.font));
    box->setAccessibleName(design.accessibleName);
    setColors(*box, design.backColor, design.foreColor);
    place(*box, tabOrderOf(form), design.placement);
    QObject::connect(box->selectionModel(), &QItemSelectionModel::selectionChanged, box.get(),
                     [this](const QItemSelection& selected) {
                         if (!selected.isEmpty() && !selectingByProgram)
                             raiseEvent(running, onClick);
                     });
}

FileListBox::~FileListBox() = default;

QString FileListBox::path() const {
    return QDir::toNativeSeparators(folder);
}

int FileListBox::listCount() const {
    return int(names.size());
}

void FileListBox::requireEntry(int index) const {
    if (index < 0 || index >= listCount())
        throw RuntimeError(QStringLiteral("Fillistan har ingen post %1: den har %2 poster.")
                               .arg(index)
                               .arg(listCount()));
}

QString FileListBox::list(int index) const {
    requireEntry(index);
    return names[index];
}

void FileListBox::select(int index) {
    requireEntry(index);
    if (box->item(index)->isSelected())
        return;
    // Click is raised from here rather than from inside the list's signal, so that a failing
    // handler unwinds through the handler that selected, never through Qt's own code.
    selectingByProgram = true;
    box->setCurrentRow(index);
    selectingByProgram = false;
    raiseEvent(running, onClick);
}

QString FileListBox::fileName() const {
    const QModelIndexList selected = box->selectionModel()->selectedIndexes();
    return selected.isEmpty() ? QString() : names[selected.first().row()];
}

void FileListBox::setClickHandler(std::function<void()> handler) {
    onClick = std::move(handler);
}

void FileListBox::setDblClickHandler(std::function<void()> handler) {
    onDblClick = std::move(handler);
}

QListWidget* widgetOf(const FileListBox& list) {
    return list.box.get();
}

} // namespace tk
