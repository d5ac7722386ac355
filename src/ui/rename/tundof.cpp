#include "tundof.h"

#include "core/platform/paths.h"

#include <QAbstractTableModel>
#include <QAction>
#include <QActionGroup>
#include <QEvent>
#include <QGuiApplication>
#include <QHeaderView>
#include <QHideEvent>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QScrollBar>
#include <QTableView>
#include <QVBoxLayout>

namespace vorlane {

// The rows of the undo list as the table shows them; nothing is copied.
class UndoModel : public QAbstractTableModel {
public:
    UndoModel(UndoList& undo, QObject* parent) : QAbstractTableModel(parent), m_undo(undo) {}

    int rowCount(const QModelIndex& parent) const override { return parent.isValid() ? 0 : m_undo.count(); }
    int columnCount(const QModelIndex& parent) const override { return parent.isValid() ? 0 : 2; }

    QVariant data(const QModelIndex& index, int role) const override {
        const UndoRow& r = m_undo.row(index.row());
        if (role == Qt::DisplayRole)
            return visibleName(index.column() == 0 ? r.before : r.after);
        if (role == Qt::CheckStateRole && index.column() == 0)
            return r.checked ? Qt::Checked : Qt::Unchecked;
        return {};
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
            return m_undo.caption(section);
        return {};
    }

    Qt::ItemFlags flags(const QModelIndex& index) const override {
        Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
        if (index.column() == 0)
            f |= Qt::ItemIsUserCheckable;
        return f;
    }

    bool setData(const QModelIndex& index, const QVariant& value, int role) override {
        if (role != Qt::CheckStateRole || index.column() != 0)
            return false;
        m_undo.setChecked(index.row(), value.toInt() == Qt::Checked);
        Q_EMIT dataChanged(index, index, {Qt::CheckStateRole});
        return true;
    }

    void beginChange() { beginResetModel(); }
    void endChange() {
        endResetModel();
        Q_EMIT headerDataChanged(Qt::Horizontal, 0, 1);
    }

    void checksChanged() {
        if (m_undo.count() > 0)
            Q_EMIT dataChanged(index(0, 0), index(m_undo.count() - 1, 0), {Qt::CheckStateRole});
    }

private:
    UndoList& m_undo;
};

TUndof::TUndof(Prompts& prompts, FileList& list, GroupOperation& group, const Options& options,
               QString logPath, QWidget* parent)
    : QDialog(parent), m_undo(prompts, std::move(logPath)), m_list(list), m_group(group), m_options(options) {
    setObjectName(QStringLiteral("Undof"));
    setWindowTitle(QStringLiteral("Undo"));

    m_model = new UndoModel(m_undo, this);
    m_undo.hooks.aboutToChange = [this] {
        rememberSelection();
        m_model->beginChange();
    };
    m_undo.hooks.changed = [this] {
        m_model->endChange();
        restoreSelection();
    };
    lv1 = new QTableView;
    lv1->setObjectName(QStringLiteral("lv1"));
    lv1->setModel(m_model);
    lv1->setSelectionBehavior(QAbstractItemView::SelectRows);
    lv1->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lv1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lv1->setShowGrid(true);
    lv1->setWordWrap(false);
    lv1->setCornerButtonEnabled(false);
    // One fixed row height: the table then costs the same for 100,000 rows as for ten.
    QHeaderView* rows = lv1->verticalHeader();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(fontMetrics().height() + 4);
    rows->hide();
    QHeaderView* columns = lv1->horizontalHeader();
    columns->setStretchLastSection(false);
    columns->setSectionsClickable(true);
    columns->setHighlightSections(false);
    columns->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    columns->resizeSection(0, 400);
    connect(columns, &QHeaderView::sectionClicked, this, [this](int c) { lv1ColumnClick(c); });
    // The scroll bar coming or going changes the room for the "After" column.
    lv1->viewport()->installEventFilter(this);

    mainMenu = new QMenuBar(this);
    mainMenu->setObjectName(QStringLiteral("MainMenu1"));
    addCommand(mainMenu, "Check1Click", QStringLiteral("&Check"), {}, &TUndof::Check1Click);
    addCommand(mainMenu, "UnCheck1Click", QStringLiteral("&UnCheck"), {}, &TUndof::UnCheck1Click);
    addCommand(mainMenu, "Deletefromlist1Click", QStringLiteral("&Delete from list"), Qt::Key_Delete,
               &TUndof::Deletefromlist1Click);
    addCommand(mainMenu, "Undorename1Click", QStringLiteral("&Add to main list"), Qt::Key_Insert,
               &TUndof::Undorename1Click);

    pmlv = new QMenu(this);
    pmlv->setObjectName(QStringLiteral("pmlv"));
    m_sortGroup = new QActionGroup(this);
    m_sortGroup->setExclusive(true);
    const struct {
        const char* handler;
        const char* caption;
    } sorts[] = {
        {"mSortByRenameOrderClick", "Sort by &rename order"},
        {"SortbyBeforecolumn1Click", "Sort by \"&Before\" column"},
        {"SortbyAftercolumn1Click", "Sort by \"&After\" column"},
        {"sbbwdmClick", "&Sort by \"Before\" without Dir"},
    };
    for (int mode = 0; mode < 4; ++mode) {
        auto* a = new QAction(QString::fromLatin1(sorts[mode].caption), this);
        a->setObjectName(QLatin1String(sorts[mode].handler));
        a->setCheckable(true);
        m_sortGroup->addAction(a);
        pmlv->addAction(a);
        // The menu's items always sort ascending.
        connect(a, &QAction::triggered, this, [this, mode] { SetSortMode(mode); });
        m_sortItems << a;
    }
    m_sortItems[0]->setChecked(true);
    pmlv->addSeparator();
    addCommand(pmlv, "SelectandcheckAll1Click", QStringLiteral("Select &All"),
               QKeySequence(Qt::CTRL | Qt::Key_A), &TUndof::SelectandcheckAll1Click);
    lv1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(lv1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { pmlv->exec(lv1->viewport()->mapToGlobal(pos)); });

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setMenuBar(mainMenu);
    layout->addWidget(lv1);
    resize(833, 619);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

TUndof::~TUndof() = default;

QAction* TUndof::addCommand(QWidget* to, const char* handler, const QString& caption, QKeySequence key,
                            void (TUndof::*run)()) {
    auto* a = new QAction(caption, this);
    a->setObjectName(QLatin1String(handler));
    a->setAutoRepeat(false);
    a->setShortcut(key);
    connect(a, &QAction::triggered, this, [this, run] { (this->*run)(); });
    to->addAction(a);
    // Keys work wherever the focus is in the window, also for the pop-up's items.
    if (to != mainMenu)
        addAction(a);
    return a;
}

QAction* TUndof::action(const QString& handler) const {
    return findChild<QAction*>(handler);
}

void TUndof::requestReload() {
    m_reload = true;
    // Only while the window is hidden: a change of flags would hide it.
    if (!isVisible())
        setWindowFlag(Qt::WindowStaysOnTopHint, m_options.Topmcb);
}

void TUndof::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    FormActivate();
}

void TUndof::hideEvent(QHideEvent* e) {
    QDialog::hideEvent(e);
    // Every showing loads the log afresh: a closed window holds no rows
    // (a minimised one keeps them).
    if (!e->spontaneous() && !m_reload)
        m_undo.setRows({});
}

void TUndof::changeEvent(QEvent* e) {
    QDialog::changeEvent(e);
    if (e->type() == QEvent::ActivationChange && isActiveWindow())
        FormActivate();
}

void TUndof::FormActivate() {
    if (!m_reload)
        return;
    m_reload = false;
    // A new load: nothing is selected, and the rows start in rename order.
    lv1->selectionModel()->clear();
    m_undo.load();
    m_sortItems[0]->setChecked(true);
    lv1->scrollToTop();
    FormResize();
}

void TUndof::resizeEvent(QResizeEvent* e) {
    QDialog::resizeEvent(e);
    FormResize();
}

bool TUndof::eventFilter(QObject* watched, QEvent* e) {
    if (watched == lv1->viewport() && e->type() == QEvent::Resize)
        FormResize();
    return QDialog::eventFilter(watched, e);
}

void TUndof::FormResize() {
    const int chrome = lv1->width() - lv1->viewport()->width();
    lv1->horizontalHeader()->resizeSection(1, qMax(0, width() - lv1->columnWidth(0) - chrome - 3));
}

void TUndof::lv1ColumnClick(int column) {
    SetSortMode(m_undo.columnClickMode(column));
}

void TUndof::rememberSelection() {
    m_keptSelection.clear();
    for (int r : selectedRows()) {
        const int order = m_undo.row(r).order;
        if (m_keptSelection.size() <= order)
            m_keptSelection.resize(order + 1, 0);
        m_keptSelection[order] = 1;
    }
    const QModelIndex current = lv1->currentIndex();
    m_keptCurrent = current.isValid() ? m_undo.row(current.row()).order : -1;
    m_keptColumn = current.isValid() ? current.column() : 0;
    m_keptScroll = lv1->verticalScrollBar()->value();
}

// The selection and the current row follow their entries, known by rename order.
void TUndof::restoreSelection() {
    const auto kept = [this](int row) {
        const int order = m_undo.row(row).order;
        return order < m_keptSelection.size() && m_keptSelection[order];
    };
    QItemSelection selection;
    int current = -1;
    for (int r = 0; r < m_undo.count(); ++r) {
        if (m_undo.row(r).order == m_keptCurrent)
            current = r;
        if (!kept(r))
            continue;
        const int first = r;
        while (r + 1 < m_undo.count() && kept(r + 1)) {
            ++r;
            if (m_undo.row(r).order == m_keptCurrent)
                current = r;
        }
        selection.select(m_model->index(first, 0), m_model->index(r, 1));
    }
    QItemSelectionModel* sm = lv1->selectionModel();
    if (current >= 0)
        sm->setCurrentIndex(m_model->index(current, m_keptColumn), QItemSelectionModel::NoUpdate);
    // The rows move under a view that stays where it was.
    lv1->verticalScrollBar()->setValue(m_keptScroll);
    if (!selection.isEmpty())
        sm->select(selection, QItemSelectionModel::Select);
    m_keptSelection.clear();
}

void TUndof::SetSortMode(int mode) {
    m_undo.SetSortMode(mode);
    m_sortItems[std::abs(mode)]->setChecked(true);
}

QVector<int> TUndof::selectedRows() const {
    QVector<int> rows;
    const QItemSelection selection = lv1->selectionModel()->selection();
    for (const QItemSelectionRange& range : selection)
        for (int r = range.top(); r <= range.bottom(); ++r)
            rows << r;
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

void TUndof::Check1Click() {
    m_undo.setChecked(selectedRows(), true);
    m_model->checksChanged();
}

void TUndof::UnCheck1Click() {
    m_undo.setChecked(selectedRows(), false);
    m_model->checksChanged();
}

void TUndof::Deletefromlist1Click() {
    m_undo.Deletefromlist1Click();
}

void TUndof::Undorename1Click() {
    m_undo.Undorename1Click(m_list, m_group);
}

void TUndof::SelectandcheckAll1Click() {
    lv1->selectAll();
}

void TUndof::reject() {
    if (m_undo.FormClose())
        QDialog::reject();
}

} // namespace vorlane
