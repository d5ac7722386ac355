#include "searchdialogs.h"

#include "core/platform/paths.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>

namespace vorlane {

QStringList regExPieces() {
    return {
        QStringLiteral("^\tBeginning of Line"),
        QStringLiteral("$\tEnd of Line"),
        QStringLiteral(".\tAny Single Character"),
        QStringLiteral("*\tZero or More"),
        QStringLiteral("+\tOne or More"),
        QStringLiteral("?\tZero or One"),
        QStringLiteral("{n,m}\tn through m"),
        QStringLiteral("*?\tNon-Greedy Zero or More"),
        QStringLiteral("+?\tNon-Greedy One of More"),
        QStringLiteral("??\tNon-Greedy Zero or One"),
        QStringLiteral("{n,m}?\tNon-Greedy n through m"),
        QStringLiteral("()\tGroup and Set Back Reference"),
        QStringLiteral("|\tOr"),
        QStringLiteral("[]\tAny One Character in the Set"),
        QStringLiteral("[^]\tAny One Character Not in the Set"),
        QStringLiteral("\\n\tNewline"),
        QStringLiteral("\\t\tTab"),
        QStringLiteral("\\xnn\tEscape Special Character"),
        QStringLiteral("\\w\tAny letter or '_'"),
        QStringLiteral("\\W\tnot (Any letter or '_')"),
        QStringLiteral("\\d\tDigit"),
        QStringLiteral("\\D\tnot (Digit)"),
        QStringLiteral("\\s\tSpace (or CR or LF or TAB)"),
        QStringLiteral("\\S\tnot (Space (or CR or LF or TAB))"),
        QStringLiteral("\\b\tWord Edge"),
        QStringLiteral("\\B\tnot (Word Edge)"),
    };
}

QStringList regExModifiers() {
    return {
        QStringLiteral("(?-i)\tCase Sensitive mode"),
        QStringLiteral("(?m)\tText is looking as Multiline"),
        QStringLiteral("(?-s)\tText is NOT looking as one long line"),
        QStringLiteral("(?g)\tForce to Greedy Mode"),
    };
}

namespace {
QString pieceOf(const QString& caption) {
    return caption.section(u'\t', 0, 0);
}

QComboBox* historyBox(const char* name) {
    auto* box = new QComboBox;
    box->setObjectName(QLatin1String(name));
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    // No completion: a text that begins an earlier one is searched as typed.
    box->setCompleter(nullptr);
    box->setMinimumWidth(260);
    return box;
}

QPushButton* menuButton(const char* name) {
    auto* b = new QPushButton(QStringLiteral(">"));
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    b->setEnabled(false);
    b->setFixedWidth(b->sizeHint().height());
    return b;
}

QGroupBox* radioGroup(const char* name, const QString& title, QRadioButton*& first,
                      const QString& firstCaption, QRadioButton*& second, const QString& secondCaption) {
    auto* group = new QGroupBox(title);
    group->setObjectName(QLatin1String(name));
    first = new QRadioButton(firstCaption);
    second = new QRadioButton(secondCaption);
    auto* layout = new QVBoxLayout(group);
    layout->addWidget(first);
    layout->addWidget(second);
    auto* buttons = new QButtonGroup(group);
    buttons->addButton(first);
    buttons->addButton(second);
    return group;
}

bool holds(QWidget* box, QWidget* focus) {
    return focus && (focus == box || box->isAncestorOf(focus));
}

// The text moves to the top of the box's list; the edit field keeps it.
void remember(QComboBox* box) {
    const QString text = box->currentText();
    QStringList items;
    for (int i = 0; i < box->count(); ++i)
        items << box->itemText(i);
    rememberText(items, text);
    const QSignalBlocker block(box);
    box->clear();
    box->addItems(items);
    box->setCurrentIndex(-1);
    box->setEditText(text);
}
} // namespace

// --- the search dialog's controls

SearchTextDialog::SearchTextDialog(const QString& caption, const QString& scopeCaption,
                                   const QString& originCaption, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(caption);

    cbSearchText = historyBox("cbSearchText");
    auto* searchLabel = new QLabel(QStringLiteral("&Search for:"));
    searchLabel->setBuddy(cbSearchText);
    RegExFindB = menuButton("RegExFindB");

    cbSearchCaseSensitive = new QCheckBox(QStringLiteral("&Case sensitivity"));
    cbSearchCaseSensitive->setObjectName(QStringLiteral("cbSearchCaseSensitive"));
    cbSearchWholeWords = new QCheckBox(QStringLiteral("&Whole words only"));
    cbSearchWholeWords->setObjectName(QStringLiteral("cbSearchWholeWords"));
    UseRegExCB = new QCheckBox(QStringLiteral("Use Regular E&xpressions"));
    UseRegExCB->setObjectName(QStringLiteral("UseRegExCB"));

    rgSearchDirection = radioGroup("rgSearchDirection", QStringLiteral("Direction"), rbForward,
                                   QStringLiteral("Forwar&d"), rbBackward, QStringLiteral("&Backward"));
    originrg = radioGroup("originrg", originCaption, rbFromCursor, QStringLiteral("&From cursor"), rbEntire,
                          QStringLiteral("&Entire"));
    scoperg = radioGroup("scoperg", scopeCaption, rbGlobal, QStringLiteral("&Global"), rbSelected,
                         QStringLiteral("&Selected text"));
    rbForward->setChecked(true);
    rbEntire->setChecked(true);
    rbGlobal->setChecked(true);

    OKButton = new QPushButton(QStringLiteral("OK"));
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setDefault(true);
    CancelButton = new QPushButton(QStringLiteral("Cancel"));
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    CancelButton->setAutoDefault(false);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);

    m_fields = new QGridLayout;
    addRow(searchLabel, cbSearchText, RegExFindB);
    m_options = new QVBoxLayout;
    for (QCheckBox* box : {cbSearchCaseSensitive, cbSearchWholeWords, UseRegExCB})
        m_options->addWidget(box);
    auto* groups = new QGridLayout;
    groups->addLayout(m_options, 0, 0);
    groups->addWidget(rgSearchDirection, 0, 1);
    groups->addWidget(scoperg, 1, 0);
    groups->addWidget(originrg, 1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(OKButton);
    buttons->addWidget(CancelButton);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(m_fields);
    layout->addLayout(groups);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    pmRegExFind = new QMenu(this);
    pmRegExFind->setObjectName(QStringLiteral("pmRegExFind"));
    auto addPiece = [this](QMenu* menu, const QString& caption) {
        connect(menu->addAction(caption), &QAction::triggered, this,
                [this, caption] { BnotWordEdge1Click(caption); });
    };
    for (const QString& caption : regExPieces())
        addPiece(pmRegExFind, caption);
    QMenu* modifiers = pmRegExFind->addMenu(QStringLiteral("Modifiers"));
    modifiers->setObjectName(QStringLiteral("Modifiers1"));
    for (const QString& caption : regExModifiers())
        addPiece(modifiers, caption);

    connect(RegExFindB, &QPushButton::clicked, this, [this] { RegExFindBClick(); });
    connect(UseRegExCB, &QCheckBox::toggled, this, [this] { UseRegExCBClick(); });
    for (QGroupBox* group : {scoperg, originrg})
        connect(group->findChild<QButtonGroup*>(), &QButtonGroup::buttonClicked, this,
                [this] { scopergClick(); });
}

void SearchTextDialog::addRow(QWidget* label, QWidget* field, QWidget* button) {
    const int row = m_fields->rowCount();
    m_fields->addWidget(label, row, 0);
    m_fields->addWidget(field, row, 1);
    m_fields->addWidget(button, row, 2);
}

void SearchTextDialog::addOption(QCheckBox* box) {
    m_options->addWidget(box);
}

QString SearchTextDialog::searchText() const {
    return cbSearchText->currentText();
}

QStringList SearchTextDialog::searchHistory() const {
    QStringList items;
    for (int i = 0; i < cbSearchText->count(); ++i)
        items << cbSearchText->itemText(i);
    return items;
}

void SearchTextDialog::setSearchHistory(const QStringList& history) {
    const QString text = searchText();
    const QSignalBlocker block(cbSearchText);
    cbSearchText->clear();
    cbSearchText->addItems(history);
    cbSearchText->setCurrentIndex(-1);
    cbSearchText->setEditText(text);
}

SearchSettings SearchTextDialog::settings() const {
    SearchSettings s;
    s.text = searchText();
    s.options.regex = UseRegExCB->isChecked();
    s.options.matchCase = cbSearchCaseSensitive->isChecked();
    // A disabled "Whole words only" still counts.
    s.options.wholeWords = cbSearchWholeWords->isChecked();
    s.backward = rbBackward->isChecked();
    s.fromCursor = rbFromCursor->isChecked();
    s.selectedText = rbSelected->isChecked();
    return s;
}

void SearchTextDialog::scopergClick() {
    if (rbSelected->isChecked())
        rbEntire->setChecked(true);
}

void SearchTextDialog::UseRegExCBClick() {
    const bool regex = UseRegExCB->isChecked();
    RegExFindB->setEnabled(regex);
    cbSearchWholeWords->setEnabled(!regex);
}

void SearchTextDialog::RegExFindBClick() {
    pmRegExFind->popup(RegExFindB->mapToGlobal(QPoint(0, RegExFindB->height())));
}

void SearchTextDialog::BnotWordEdge1Click(const QString& caption) {
    cbSearchText->setEditText(searchText() + pieceOf(caption));
}

void SearchTextDialog::FormActivate() {
    cbSearchText->setFocus();
    cbSearchText->lineEdit()->selectAll();
}

void SearchTextDialog::FormCloseQuery() {
    remember(cbSearchText);
}

void SearchTextDialog::done(int result) {
    if (result == QDialog::Accepted)
        FormCloseQuery();
    QDialog::done(result);
}

void SearchTextDialog::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    FormActivate();
}

Tfd1::Tfd1(QWidget* parent)
    : SearchTextDialog(QStringLiteral("Search Text"), QStringLiteral("Scope"), QStringLiteral("Origin"),
                       parent) {
    setObjectName(QStringLiteral("fd1"));
}

// --- the replace dialog

Trd1::Trd1(QWidget* parent)
    : SearchTextDialog(QStringLiteral("Replace Text"), QStringLiteral("&Scope"), QStringLiteral("O&rigin"),
                       parent) {
    setObjectName(QStringLiteral("rd1"));
    cbReplaceText = historyBox("cbReplaceText");
    auto* label = new QLabel(QStringLiteral("&Replace with:"));
    label->setBuddy(cbReplaceText);
    RegExReplB = menuButton("RegExReplB");
    addRow(label, cbReplaceText, RegExReplB);
    cbPrompt = new QCheckBox(QStringLiteral("&Prompt before replace"));
    cbPrompt->setObjectName(QStringLiteral("cbPrompt"));
    cbPrompt->setChecked(true);
    addOption(cbPrompt);

    pmRegExRepl = new QMenu(this);
    pmRegExRepl->setObjectName(QStringLiteral("pmRegExRepl"));
    QStringList references{QStringLiteral("$0\tEntire Back Reference")};
    for (int i = 1; i <= 9; ++i)
        references << QStringLiteral("$%1\tBack Reference %1").arg(i);
    for (const QString& caption : references)
        connect(pmRegExRepl->addAction(caption), &QAction::triggered, this,
                [this, caption] { ttTab1Click(caption); });
    connect(RegExReplB, &QPushButton::clicked, this, [this] { RegExReplBClick(); });
}

QString Trd1::replaceText() const {
    return cbReplaceText->currentText();
}

SearchSettings Trd1::settings() const {
    SearchSettings s = SearchTextDialog::settings();
    s.replacement = replaceText();
    s.prompt = cbPrompt->isChecked();
    return s;
}

void Trd1::UseRegExCBClick() {
    SearchTextDialog::UseRegExCBClick();
    RegExReplB->setEnabled(UseRegExCB->isChecked());
}

void Trd1::RegExReplBClick() {
    pmRegExRepl->popup(RegExReplB->mapToGlobal(QPoint(0, RegExReplB->height())));
}

void Trd1::ttTab1Click(const QString& caption) {
    cbReplaceText->setEditText(replaceText() + pieceOf(caption));
}

void Trd1::FormActivate() {
    QWidget* focus = focusWidget();
    if (!holds(cbSearchText, focus) && !holds(cbReplaceText, focus))
        SearchTextDialog::FormActivate();
}

void Trd1::FormCloseQuery() {
    SearchTextDialog::FormCloseQuery();
    remember(cbReplaceText);
}

// --- the confirmation

TConfirmReplaceDialog::TConfirmReplaceDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("ConfirmReplaceDialog"));
    setWindowTitle(QStringLiteral("Confirm replace"));
    auto* icon = new QLabel;
    icon->setObjectName(QStringLiteral("Image1"));
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxQuestion).pixmap(32, 32));
    icon->setAlignment(Qt::AlignTop);
    lblConfirmation = new QLabel;
    lblConfirmation->setObjectName(QStringLiteral("lblConfirmation"));
    lblConfirmation->setWordWrap(true);
    lblConfirmation->setTextFormat(Qt::PlainText);
    lblConfirmation->setFixedWidth(300);
    YesButton = new QPushButton(QStringLiteral("&Yes"));
    NoButton = new QPushButton(QStringLiteral("&No"));
    CancelButton = new QPushButton(QStringLiteral("Cancel"));
    YesToAllButton = new QPushButton(QStringLiteral("Yes to &all"));
    YesButton->setObjectName(QStringLiteral("btnReplace"));
    NoButton->setObjectName(QStringLiteral("btnSkip"));
    CancelButton->setObjectName(QStringLiteral("btnCancel"));
    YesToAllButton->setObjectName(QStringLiteral("btnReplaceAll"));
    YesButton->setDefault(true);
    for (QPushButton* b : {NoButton, CancelButton, YesToAllButton})
        b->setAutoDefault(false);
    connect(YesButton, &QPushButton::clicked, this, [this] { done(Yes); });
    connect(NoButton, &QPushButton::clicked, this, [this] { done(No); });
    connect(CancelButton, &QPushButton::clicked, this, [this] { done(Cancel); });
    connect(YesToAllButton, &QPushButton::clicked, this, [this] { done(YesToAll); });
    autoCPcb = new QCheckBox(QStringLiteral("&Auto Change position"));
    autoCPcb->setObjectName(QStringLiteral("autoCPcb"));
    autoCPcb->setChecked(true);

    auto* top = new QHBoxLayout;
    top->addWidget(icon);
    top->addWidget(lblConfirmation, 1);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {YesButton, NoButton, CancelButton, YesToAllButton})
        buttons->addWidget(b);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(buttons);
    layout->addWidget(autoCPcb);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    FormCreate();
}

// It first opens at the screen's centre.
void TConfirmReplaceDialog::FormCreate() {
    lblConfirmation->setText(QStringLiteral("Replace this occurence of \"\"?"));
    adjustSize();
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());
}

void TConfirmReplaceDialog::PlaceConfirmDialog(const QRect& editor, int x, int y1, int y2,
                                               const QString& searchText) {
    lblConfirmation->setText(QStringLiteral("Replace this occurence of \"") +
                             withVisibleControls(searchText) + QStringLiteral("\"?"));
    adjustSize();
    if (autoCPcb->isChecked())
        move(confirmDialogPosition(editor, x, y1, y2, size()));
}

} // namespace vorlane
