#include "tmaskedf.h"

#include "core/filelist/filelist.h"
#include "core/platform/paths.h"
#include "ui/editor/nameeditor.h"
#include "ui/settings/formstate.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
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
#include <QVBoxLayout>

namespace vorlane {

TMaskedf::TMaskedf(const FileList& list, std::function<MaskContext()> context, IniFile* settings,
                   QWidget* parent)
    : QDialog(parent, Qt::Tool), m_list(list), m_context(std::move(context)), m_settings(settings) {
    setObjectName(QStringLiteral("Maskedf"));
    setWindowTitle(QStringLiteral("Edit mask"));
    const QFont fixed = editorFont();

    auto* dest = new QGroupBox(QStringLiteral("D&estination of conversion"));
    dest->setObjectName(QStringLiteral("DestRG"));
    dest->setToolTip(
        QStringLiteral("Conversion result can be placed into right side of main window \nor to the "
                       "buffer window"));
    rightSide = new QRadioButton(QStringLiteral("Right side"));
    buffer = new QRadioButton(QStringLiteral("Buffer"));
    rightSide->setChecked(true);
    auto* destLayout = new QHBoxLayout(dest);
    destLayout->addWidget(rightSide);
    destLayout->addWidget(buffer);

    Maskcb = new QComboBox;
    Maskcb->setObjectName(QStringLiteral("Maskcb"));
    Maskcb->setEditable(true);
    Maskcb->setInsertPolicy(QComboBox::NoInsert);
    // No completion: a mask that begins a stored one must be enterable as typed.
    Maskcb->setCompleter(nullptr);
    Maskcb->setFont(fixed);
    Maskcb->setMinimumWidth(300);
    auto* maskLabel = new QLabel(QStringLiteral("&Mask"));
    maskLabel->setBuddy(Maskcb);
    bHelpAdd = new QPushButton(QStringLiteral("+"));
    bHelpAdd->setObjectName(QStringLiteral("bHelpAdd"));
    bHelpAdd->setToolTip(QStringLiteral("Allow to add some patterns to input line"));
    bStore = new QPushButton(QStringLiteral("Store"));
    bStore->setObjectName(QStringLiteral("bStore"));
    bStore->setToolTip(QStringLiteral("Store current string"));
    bDelete = new QPushButton(QStringLiteral("Delete"));
    bDelete->setObjectName(QStringLiteral("bDelete"));
    bDelete->setToolTip(QStringLiteral("Delete current string from list"));
    for (QPushButton* b : {bHelpAdd, bStore, bDelete})
        b->setAutoDefault(false);

    auto* letters = new QGroupBox(QStringLiteral("Letter conversion"));
    Casecb = new QComboBox;
    Casecb->setObjectName(QStringLiteral("Casecb"));
    Casecb->addItems({QStringLiteral("No change"), QStringLiteral("low case"), QStringLiteral("UPPER CASE"),
                      QStringLiteral("First letter up"), QStringLiteral("Up First In Each Word")});
    fcase = new QCheckBox(QStringLiteral("&Force case"));
    fcase->setObjectName(QStringLiteral("fcase"));
    fcase->setToolTip(
        QStringLiteral("Force other letters in \"First letter up\" and \"Up First In Each Word\" "
                       "to\nbe lowcase."));
    Translitcb = new QCheckBox(QStringLiteral("&Translit"));
    Translitcb->setObjectName(QStringLiteral("Translitcb"));
    exextcb = new QCheckBox(QStringLiteral("Exclude extension from letter conversion"));
    exextcb->setObjectName(QStringLiteral("exextcb"));
    auto* lettersLayout = new QGridLayout(letters);
    lettersLayout->addWidget(Casecb, 0, 0);
    lettersLayout->addWidget(fcase, 0, 1);
    lettersLayout->addWidget(Translitcb, 0, 2);
    lettersLayout->addWidget(exextcb, 1, 0, 1, 3);

    fle = new QLabel;
    flr = new QLabel;
    lle = new QLabel;
    llr = new QLabel;
    for (QLabel* l : {fle, flr, lle, llr}) {
        l->setFont(fixed);
        l->setTextFormat(Qt::PlainText);
    }
    for (QLabel* l : {flr, llr}) {
        l->setWordWrap(true);
        l->setMaximumHeight(QFontMetrics(fixed).lineSpacing() * 2 + 2);
    }
    fle->setObjectName(QStringLiteral("fle"));
    flr->setObjectName(QStringLiteral("flr"));
    lle->setObjectName(QStringLiteral("lle"));
    llr->setObjectName(QStringLiteral("llr"));
    auto* preview = new QGridLayout;
    preview->addWidget(new QLabel(QStringLiteral("First file:")), 0, 0);
    preview->addWidget(fle, 0, 1);
    preview->addWidget(flr, 1, 1);
    preview->addWidget(new QLabel(QStringLiteral("Last file:")), 2, 0);
    preview->addWidget(lle, 2, 1);
    preview->addWidget(llr, 3, 1);
    preview->setColumnStretch(1, 1);

    Okb = new QPushButton(QStringLiteral("&Ok"));
    Okb->setObjectName(QStringLiteral("Okb"));
    Okb->setDefault(true);
    Cancelb = new QPushButton(QStringLiteral("&Cancel"));
    Cancelb->setObjectName(QStringLiteral("Cancelb"));
    connect(Okb, &QPushButton::clicked, this, &QDialog::accept);
    connect(Cancelb, &QPushButton::clicked, this, &QDialog::reject);

    auto* maskRow = new QHBoxLayout;
    maskRow->addWidget(maskLabel);
    maskRow->addWidget(Maskcb, 1);
    maskRow->addWidget(bHelpAdd);
    maskRow->addWidget(bStore);
    maskRow->addWidget(bDelete);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Okb);
    buttons->addWidget(Cancelb);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(dest);
    layout->addLayout(maskRow);
    layout->addWidget(letters);
    layout->addLayout(preview);
    layout->addLayout(buttons);

    pmIL = new QMenu(this);
    pmIL->setObjectName(QStringLiteral("pmIL"));
    for (const QString& caption : patternCaptions()) {
        if (caption == QLatin1String("-")) {
            pmIL->addSeparator();
            continue;
        }
        // Captions as they stand: an '&' would be taken for an accelerator.
        QAction* a = pmIL->addAction(QString(caption).replace(u'&', QStringLiteral("&&")));
        connect(a, &QAction::triggered, this, [this, caption] { mrmp3comment1Click(caption); });
    }
    pmIL->addSeparator();
    for (const QString& caption : extendedPatternCaptions()) {
        QAction* a = pmIL->addAction(QString(caption).replace(u'&', QStringLiteral("&&")));
        connect(a, &QAction::triggered, this, [this, caption] { mrmp3comment1Click(caption); });
        extendedPatterns << a;
    }
    updateExtendedPatterns();

    connect(Maskcb, &QComboBox::editTextChanged, this, [this] { MaskcbChange(); });
    connect(Casecb, &QComboBox::currentIndexChanged, this, [this] { MaskcbChange(); });
    for (QCheckBox* c : {fcase, Translitcb, exextcb})
        connect(c, &QCheckBox::toggled, this, [this] { MaskcbChange(); });
    connect(bStore, &QPushButton::clicked, this, [this] { StorebClick(); });
    connect(bDelete, &QPushButton::clicked, this, [this] { DeletebClick(); });
    connect(bHelpAdd, &QPushButton::clicked, this, [this] { bHelpAddClick(); });

    adjustSize();
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());
    FormCreate();
}

TMaskedf::~TMaskedf() {
    FormDestroy();
}

void TMaskedf::FormCreate() {
    if (m_settings)
        LoadFormState(this, *m_settings);
    // First start: the default mask and the stored defaults.
    if (Maskcb->count() == 0 && mask().isEmpty())
        setStoredMasks(defaultMasks(), defaultMasks().first());
}

void TMaskedf::FormDestroy() {
    if (m_settings)
        SaveFormState(this, *m_settings);
}

QString TMaskedf::mask() const {
    return Maskcb->currentText();
}

LetterSettings TMaskedf::letterSettings() const {
    LetterSettings s;
    s.Casecb = Casecb->currentIndex();
    s.fcase = fcase->isChecked();
    s.Translitcb = Translitcb->isChecked();
    s.exextcb = exextcb->isChecked();
    return s;
}

bool TMaskedf::toBuffer() const {
    return buffer->isChecked();
}

QStringList TMaskedf::storedMasks() const {
    QStringList l;
    for (int i = 0; i < Maskcb->count(); ++i)
        l << Maskcb->itemText(i);
    return l;
}

void TMaskedf::setStoredMasks(const QStringList& masks, const QString& text) {
    const QSignalBlocker block(Maskcb);
    Maskcb->clear();
    Maskcb->addItems(masks);
    Maskcb->setCurrentIndex(-1);
    Maskcb->setEditText(text);
}

void TMaskedf::MaskcbChange() {
    const MaskPreview p =
        previewMask(m_list, span, maskSpec(), m_context(), m_list.options().cbCounterPerFolder);
    flr->setText(p.first);
    llr->setText(p.last);
}

MaskSpec TMaskedf::maskSpec() const {
    return {mask(), letterSettings(), m_list.options().cbExtendedElements};
}

void TMaskedf::updateExtendedPatterns() {
    for (QAction* a : extendedPatterns)
        a->setEnabled(m_list.options().cbExtendedElements);
}

void TMaskedf::FormActivate() {
    updateExtendedPatterns();
    Maskcb->setFocus();
    MaskcbChange();
    if (span.firstIndex < 0) {
        fle->setText(QStringLiteral("No item(s) selected"));
        lle->setText(QStringLiteral("No item(s) selected"));
        return;
    }
    fle->setText(span.firstIndex < m_list.count() ? fileNamePart(m_list.text(span.firstIndex)) : QString());
    lle->setText(span.lastIndex < m_list.count() ? fileNamePart(m_list.text(span.lastIndex)) : QString());
}

void TMaskedf::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    FormActivate();
}

void TMaskedf::changeEvent(QEvent* e) {
    QDialog::changeEvent(e);
    if (e->type() == QEvent::ActivationChange && isActiveWindow())
        FormActivate();
}

void TMaskedf::StorebClick() {
    const QString text = mask();
    if (text.isEmpty())
        return;
    QStringList masks = storedMasks();
    storeMask(masks, text);
    setStoredMasks(masks, text);
    Maskcb->lineEdit()->selectAll();
}

void TMaskedf::DeletebClick() {
    QStringList masks = storedMasks();
    const QString next = deleteMask(masks, mask());
    setStoredMasks(masks, next);
    if (!next.isEmpty())
        Maskcb->lineEdit()->selectAll();
    MaskcbChange();
}

void TMaskedf::bHelpAddClick() {
    // The menu's top-right corner at the button's bottom-right corner.
    updateExtendedPatterns();
    const QPoint corner = bHelpAdd->mapToGlobal(QPoint(bHelpAdd->width(), bHelpAdd->height()));
    pmIL->popup(corner - QPoint(pmIL->sizeHint().width(), 0));
}

void TMaskedf::mrmp3comment1Click(const QString& caption) {
    Maskcb->setEditText(mask() + patternOf(caption));
    MaskcbChange();
}

} // namespace vorlane
