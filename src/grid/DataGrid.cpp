#include "DataGrid.h"

#include "PickListPopup.h"
#include "QueryTableModel.h"
#include "platform/ErrorReport.h"
#include "platform/MessageBoxes.h"
#include "platform/TextBox.h"

#include <QApplication>
#include <QHash>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QStaticText>
#include <QStyleOptionButton>
#include <QStyledItemDelegate>
#include <QWheelEvent>

namespace {

bool isGridDelete(const QKeyEvent *key)
{
    return key->key() == Qt::Key_Delete && (key->modifiers() & Qt::ControlModifier);
}

// A change that the row set refused ends in the error box, as every failure
// of the grid's own editing does.
void reportRefusal(const QueryTableModel &model)
{
    if (const std::optional<Error> &error = model.lastError())
        showApplicationError(error->message());
}

// Hands typed text to the model; a pick list column has no editor, only its drop-down.
class GridDelegate : public QStyledItemDelegate
{
public:
    explicit GridDelegate(DataGrid *grid) : QStyledItemDelegate(grid), m_grid(grid) {}

    // The open cell editor holds the focus, so the grid's own keys reach it
    // first. A text field would take Ctrl+Delete as deleting a word, and
    // that blanked text would be written. Esc would close the editor, which
    // opens again at once on the same text, so that an edit could never be
    // abandoned: it takes back what was typed since the row last took the
    // cell's text, and with nothing left to take back cancels the row's edit.
    bool eventFilter(QObject *object, QEvent *event) override
    {
        auto *editor = qobject_cast<QWidget *>(object);
        if (editor && event->type() == QEvent::KeyPress) {
            const auto *key = static_cast<QKeyEvent *>(event);
            if (isGridDelete(key)) {
                m_grid->deleteCurrentRecord();
                return true;
            }
            if (key->key() == Qt::Key_Escape && key->modifiers() == Qt::NoModifier) {
                const QModelIndex cell = m_grid->currentIndex();
                if (editorText(editor) != cell.data(Qt::EditRole).toString())
                    setEditorData(editor, cell);
                else
                    m_grid->cancelRowEdit();
                return true;
            }
        }
        return QStyledItemDelegate::eventFilter(object, event);
    }

    // Only editable cells get an editor; a pick list belongs to a read-only
    // column and drops down without one.
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &, const QModelIndex &) const override
    {
        return newTextBox(parent);
    }

    void setEditorData(QWidget *editor, const QModelIndex &index) const override
    {
        if (auto *line = qobject_cast<QLineEdit *>(editor))
            line->setText(index.data(Qt::EditRole).toString());
    }

    static QString editorText(const QWidget *editor)
    {
        const auto *line = qobject_cast<const QLineEdit *>(editor);
        return line ? line->text() : QString();
    }

    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override
    {
        const QString text = editorText(editor);
        if (text == index.data(Qt::EditRole).toString())
            return; // nothing typed: the row stays as it was
        if (!model->setData(index, text))
            reportRefusal(*m_grid->rowModel());
    }

    // A cell is one line of plain text, painted again after every refresh.
    // Its text is laid out once for its font and width and kept, instead of
    // being shaped afresh by the style on every paint.
    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QStyleOptionViewItem cell = option;
        initStyleOption(&cell, index);
        const QWidget *view = cell.widget;
        QStyle *style = view ? view->style() : QApplication::style();
        const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1;
        const QRect area = style->subElementRect(QStyle::SE_ItemViewItemText, &cell, view).adjusted(margin, 0, -margin, 0);
        const QString text = cell.text;
        cell.text.clear();
        style->drawControl(QStyle::CE_ItemViewItem, &cell, painter, view); // the cell's face and focus
        if (text.isEmpty() || area.width() <= 0)
            return;
        const QStaticText &shown = laidOut(text, cell.font, area.width(), cell.textElideMode);
        const QPalette::ColorGroup group = !(cell.state & QStyle::State_Enabled) ? QPalette::Disabled
            : (cell.state & QStyle::State_Active)                               ? QPalette::Normal
                                                                                 : QPalette::Inactive;
        painter->save();
        painter->setPen(cell.palette.color(group, cell.state & QStyle::State_Selected ? QPalette::HighlightedText : QPalette::Text));
        painter->setFont(cell.font);
        painter->setClipRect(area, Qt::IntersectClip);
        painter->drawStaticText(QPointF(area.left(), area.top() + (area.height() - shown.size().height()) / 2), shown);
        painter->restore();
        if (index == m_grid->currentIndex() && m_grid->hasFocus() && m_grid->dropsDown(index))
            paintDropDownButton(painter, m_grid->dropDownButton(index), style, view);
    }

private:
    static void paintDropDownButton(QPainter *painter, const QRect &rect, QStyle *style, const QWidget *view)
    {
        QStyleOptionButton button;
        button.initFrom(view);
        button.rect = rect;
        button.state |= QStyle::State_Raised;
        style->drawControl(QStyle::CE_PushButtonBevel, &button, painter, view);
        button.rect = rect.adjusted(2, 2, -2, -2);
        style->drawPrimitive(QStyle::PE_IndicatorArrowDown, &button, painter, view);
    }

    const QStaticText &laidOut(const QString &text, const QFont &font, int width, Qt::TextElideMode elide) const
    {
        if (font != m_font || m_laidOut.size() > 4096) {
            m_laidOut.clear();
            m_font = font;
        }
        const QString key = text + QChar(0) + QString::number(width);
        auto kept = m_laidOut.constFind(key);
        if (kept == m_laidOut.constEnd()) {
            QStaticText laid(elide == Qt::ElideNone ? text : QFontMetrics(font).elidedText(text, elide, width));
            laid.setTextFormat(Qt::PlainText);
            laid.prepare(QTransform(), font);
            kept = m_laidOut.insert(key, laid);
        }
        return *kept;
    }

    DataGrid *m_grid;
    mutable QFont m_font;
    mutable QHash<QString, QStaticText> m_laidOut;
};

// The row indicator column has one fixed width. The toolkit's header would
// measure the marks of its rows for a size hint after every reset of the rows.
class RowIndicatorHeader : public QHeaderView
{
public:
    explicit RowIndicatorHeader(QWidget *parent) : QHeaderView(Qt::Vertical, parent)
    {
        setSectionsClickable(true);
        setHighlightSections(true);
    }
    QSize sizeHint() const override { return {width(), defaultSectionSize()}; }
};

} // namespace

DataGrid::DataGrid(QWidget *parent) : QTableView(parent)
{
    setVerticalHeader(new RowIndicatorHeader(this));
    setItemDelegate(new GridDelegate(this));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    // The editor opens on the current cell while the grid holds the focus
    // (see openCellEditor), never taking the focus from another control.
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked
                    | QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
    setTabKeyNavigation(true);
    setShowGrid(true);
    horizontalHeader()->setSectionsClickable(true);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setFixedWidth(16);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    connect(horizontalHeader(), &QHeaderView::sectionClicked, this, &DataGrid::titleClicked);
    connect(qApp, &QApplication::focusChanged, this, &DataGrid::focusMoved);
}

// The base destructors still move the focus away from the grid's children
// (the cell editor); by then this object is no DataGrid any more.
DataGrid::~DataGrid()
{
    disconnect(qApp, &QApplication::focusChanged, this, &DataGrid::focusMoved);
}

void DataGrid::setRowModel(QueryTableModel *model)
{
    m_model = model;
    setModel(model);
    for (int c = 0; c < model->columnCount(); ++c)
        setColumnWidth(c, model->column(c).width);
    // While the rows are replaced the view's own current changes are no moves.
    connect(model, &QAbstractItemModel::modelAboutToBeReset, this, [this] { m_syncing = true; });
    connect(model, &QAbstractItemModel::modelReset, this, [this] {
        m_syncing = false;
        followModel();
    });
    connect(model, &QAbstractItemModel::rowsAboutToBeInserted, this, &DataGrid::rowsChanging);
    connect(model, &QAbstractItemModel::rowsInserted, this, &DataGrid::rowsChanged);
    connect(model, &QAbstractItemModel::rowsRemoved, this, &DataGrid::rowsChanged);
    connect(model, &QueryTableModel::currentRowChanged, this, &DataGrid::followModel);
    followModel();
}

// Before the view itself moves its current cell off a row that goes.
void DataGrid::rowsAboutToBeRemoved(const QModelIndex &parent, int start, int end)
{
    rowsChanging();
    QTableView::rowsAboutToBeRemoved(parent, start, end);
}

// While a row comes or goes, the view's own current changes are no moves, and
// the cell editor closes as a reset closes it: were it left open, the view
// would hand what it holds to whichever row had shifted under it.
void DataGrid::rowsChanging()
{
    m_syncing = true;
    if (QWidget *editor = indexWidget(currentIndex()))
        closeEditor(editor, QAbstractItemDelegate::NoHint);
}

void DataGrid::rowsChanged()
{
    m_syncing = false;
    followModel();
    openCellEditor();
}

// Puts the view's current cell on the row set's current row.
void DataGrid::followModel()
{
    if (m_syncing || !m_model)
        return;
    const int row = m_model->currentRow();
    const int column = std::min(m_column, m_model->columnCount() - 1);
    m_syncing = true;
    if (row < 0)
        setCurrentIndex(QModelIndex());
    else if (currentIndex().row() != row || currentIndex().column() != column)
        setCurrentIndex(m_model->index(row, column));
    m_syncing = false;
}

void DataGrid::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    if (current.isValid() && !m_syncing)
        m_column = current.column(); // kept across a reset of the rows
    if (!m_syncing && m_model && current.isValid() && current.row() != m_model->currentRow()) {
        bool moved = false;
        runUnguarded([&] {
            m_model->moveTo(current.row());
            moved = true;
        });
        if (!moved || current.row() != m_model->currentRow()) {
            // The row set refused the move or the rows shifted: follow the row set.
            QMetaObject::invokeMethod(this, &DataGrid::followModel, Qt::QueuedConnection);
        }
    }
    QTableView::currentChanged(current, previous);
    openCellEditor();
}

void DataGrid::focusInEvent(QFocusEvent *event)
{
    QTableView::focusInEvent(event);
    openCellEditor();
}

void DataGrid::openCellEditor()
{
    const QModelIndex current = currentIndex();
    const bool focused = hasFocus() || isAncestorOf(QApplication::focusWidget());
    if (focused && current.isValid() && state() != QAbstractItemView::EditingState
        && (model()->flags(current) & Qt::ItemIsEditable))
        edit(current);
}

void DataGrid::deleteCurrentRecord()
{
    if (!m_model || m_model->currentRow() < 0)
        return; // nothing to delete, so nothing to ask
    if (m_confirmDelete
        && messageBoxes().show(MessageBoxes::Icon::Question, applicationTitle(), QStringLiteral("Delete record?"),
                               MessageBoxes::Ok | MessageBoxes::Cancel)
            != MessageBoxes::Ok)
        return;
    // The row keeps what was typed if the record turns out changed and stays.
    commitOpenEditor();
    if (!m_model->removeRows(m_model->currentRow(), 1))
        reportRefusal(*m_model);
}

void DataGrid::cancelRowEdit()
{
    if (m_model)
        m_model->revert();
}

bool DataGrid::dropsDown(const QModelIndex &cell) const
{
    return m_model && cell.isValid() && !(m_model->flags(cell) & Qt::ItemIsEditable)
        && !m_model->column(cell.column()).pickList.isEmpty();
}

QRect DataGrid::dropDownButton(const QModelIndex &cell) const
{
    const QRect rect = visualRect(cell);
    const int width = std::min(rect.width(), style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this));
    return QRect(rect.right() - width + 1, rect.top(), width, rect.height());
}

void DataGrid::dropDownPickList()
{
    if (!m_pickList)
        m_pickList = new PickListPopup(this);
    const QModelIndex cell = currentIndex();
    const QRect rect = visualRect(cell);
    m_pickList->dropDown(m_model->column(cell.column()).pickList, cell.data(Qt::EditRole).toString(),
                         QRect(viewport()->mapToGlobal(rect.topLeft()), rect.size()));
}

void DataGrid::keyPressEvent(QKeyEvent *event)
{
    if (!m_model) {
        QTableView::keyPressEvent(event);
        return;
    }
    const bool editable = !m_model->isReadOnly() && m_model->rowState() != Query::State::Inactive;
    if (isGridDelete(event)) {
        deleteCurrentRecord();
        return;
    }
    const bool dropKey = (event->key() == Qt::Key_F4 && event->modifiers() == Qt::NoModifier)
        || (event->key() == Qt::Key_Down && event->modifiers() == Qt::AltModifier);
    if (dropKey && dropsDown(currentIndex())) {
        dropDownPickList();
        return;
    }
    if (event->key() == Qt::Key_Insert && event->modifiers() == Qt::NoModifier && editable) {
        if (!m_model->insertRows(std::max(m_model->currentRow(), 0), 1))
            reportRefusal(*m_model);
        return;
    }
    if (event->key() == Qt::Key_Down && editable && m_model->currentRow() == m_model->rowCount() - 1
        && !m_model->isUnchangedNewRow()) {
        if (!m_model->insertRows(m_model->rowCount(), 1))
            reportRefusal(*m_model);
        return;
    }
    if (event->key() == Qt::Key_Escape && m_model->rowState() != Query::State::Browse) {
        cancelRowEdit();
        return;
    }
    QTableView::keyPressEvent(event);
}

// The drop-down button shows on the current cell while the grid holds the focus.
void DataGrid::mousePressEvent(QMouseEvent *event)
{
    const QPoint at = event->position().toPoint();
    const QModelIndex cell = indexAt(at);
    const bool onButton = event->button() == Qt::LeftButton && hasFocus() && cell == currentIndex()
        && dropsDown(cell) && dropDownButton(cell).contains(at);
    QTableView::mousePressEvent(event);
    if (onButton)
        dropDownPickList();
}

void DataGrid::wheelEvent(QWheelEvent *event)
{
    if (!m_wheelMovesRows) {
        QTableView::wheelEvent(event);
        return;
    }
    wheelMove(event->angleDelta().y());
    event->accept();
}

void DataGrid::wheelMove(int amount)
{
    if (!m_model || amount == 0)
        return;
    try {
        commitOpenEditor();
        const int row = m_model->currentRow();
        if (amount < 0 && row + 1 < m_model->rowCount())
            m_model->moveTo(row + 1);
        else if (amount > 0 && row > 0)
            m_model->moveTo(row - 1);
    } catch (...) {
        // A wheel move that fails changes nothing and tells nothing.
    }
}

void DataGrid::finishEditing()
{
    if (!m_model || m_model->rowState() == Query::State::Inactive)
        return;
    commitOpenEditor();
    m_model->settleRow();
}

// Hands what was typed into the open cell editor to the row set.
void DataGrid::commitOpenEditor()
{
    QWidget *editor = QApplication::focusWidget();
    if (editor && viewport()->isAncestorOf(editor))
        commitData(editor);
}

void DataGrid::mouseDoubleClickEvent(QMouseEvent *event)
{
    QTableView::mouseDoubleClickEvent(event);
    emit doubleClickedAnywhere();
}

// A new row left unchanged is dropped when the focus leaves the grid; a row
// added while the focus was elsewhere (a button's insert) waits for it.
void DataGrid::focusMoved(QWidget *old, QWidget *now)
{
    auto inside = [this](QWidget *widget) { return widget && (widget == this || isAncestorOf(widget)); };
    if (!m_model || !m_model->isUnchangedNewRow() || !inside(old) || inside(now))
        return;
    m_model->revert();
}
