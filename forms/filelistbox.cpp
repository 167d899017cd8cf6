#include "forms/filelistbox.h"

#include "formparts.h"
#include "forms/form.h"
#include "handlers.h"
#include "runtime/filenames.h"
#include "runtime/runtimeerror.h"
#include "windowedparts.h"

#include <algorithm>
#include <dirent.h>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QMouseEvent>
#include <sys/stat.h>

namespace tk {

namespace {

// The names that Qt's listing leaves out because they are not valid UTF-8. Shown in
// Windows-1252, each is listed when that name leads back to it; one that leads elsewhere (a file
// has the same name in UTF-8) or nowhere (a byte the code page lacks) is only reported.
struct UndecodableNames {
    QStringList listed;
    QStringList unlistable;
};

UndecodableNames undecodableNames(const QString& folder, const QStringList& wildcards) {
    UndecodableNames found;
    DIR* dir = ::opendir(QFile::encodeName(folder).constData());
    if (!dir)
        return found;
    while (const dirent* entry = ::readdir(dir)) {
        const QByteArray raw(entry->d_name);
        if (raw.startsWith('.') || QFile::encodeName(QFile::decodeName(raw)) == raw)
            continue;
        const QString shown = shownFileName(raw);
        struct stat info = {};
        if (!QDir::match(wildcards, shown) ||
            ::fstatat(::dirfd(dir), raw.constData(), &info, 0) != 0 || !S_ISREG(info.st_mode))
            continue;
        if (fileNameBytes(shown) == raw)
            found.listed << shown;
        else
            found.unlistable << QString::fromUtf8(raw);
    }
    ::closedir(dir);
    found.unlistable.sort(Qt::CaseInsensitive);
    return found;
}

// Sorted as QDir sorts by name without regard to case.
void sortByName(QStringList& names) {
    std::stable_sort(names.begin(), names.end(),
                     [](const QString& a, const QString& b) { return a.toLower() < b.toLower(); });
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
    // Without QDir::Hidden dot-files stay out; without QDir::CaseSensitive *.bmp matches SOL.BMP.
    names = directory.entryList(wildcards, QDir::Files, QDir::Name | QDir::IgnoreCase);
    UndecodableNames undecodable = undecodableNames(folder, wildcards);
    if (!undecodable.listed.isEmpty()) {
        names += undecodable.listed;
        sortByName(names);
    }
    badlyNamed = std::move(undecodable.unlistable);
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

QListWidget* FileListBox::widget() const {
    return box.get();
}

} // namespace tk
