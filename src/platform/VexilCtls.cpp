#include "platform/VexilCtls.h"

#include "platform/VexilRtfReader.h"

#include <QFocusEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionHeader>
#include <QTextCursor>
#include <QWheelEvent>

#include <algorithm>
#include <iterator>

CVexilTextBox::CVexilTextBox(QWidget* aParent) : QLineEdit(aParent), CVexilCtl(this, QPalette::Base)
{
    // setText leaves the cursor after the last character. The user's edits (typing, undo,
    // paste) announce themselves as edited just before the change: any other change is the
    // program's, and its value shows from the start.
    connect(this, &QLineEdit::textEdited, this, [this] { iUserEdit = true; });
    connect(this, &QLineEdit::textChanged, this, [this] {
        if (!iUserEdit)
            setCursorPosition(0);
        iUserEdit = false;
    });
}

void CVexilTextBox::focusOutEvent(QFocusEvent* aEvent)
{
    QLineEdit::focusOutEvent(aEvent);
    // A context menu takes the focus only for a moment: the user goes on where they were.
    if (aEvent->reason() != Qt::PopupFocusReason)
        setCursorPosition(0);
}

CVexilRichTextBox::CVexilRichTextBox(QWidget* aParent) : QTextEdit(aParent), CVexilCtl(this, QPalette::Base)
{
    setAcceptRichText(false);
    // The inset of a text box, so that a box one line high shows its line without scrolling.
    document()->setDocumentMargin(KTextInset);
}

QString CVexilRichTextBox::Text() const
{
    // The raw text keeps no-break spaces; paragraph and line separators become line ends.
    QString text = document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    text.replace(QChar::LineSeparator, QLatin1Char('\n'));
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return text;
}

void CVexilRichTextBox::SetText(const QString& aText)
{
    QString text = aText;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    // Plain text takes the caret's format, which rich text shown before may have set.
    setCurrentCharFormat(QTextCharFormat());
    setPlainText(text);
}

void CVexilRichTextBox::SetTextRtf(const QString& aRtf)
{
    CVexilRtfReader::Read(aRtf, *document());
}

int CVexilRichTextBox::SelStart() const
{
    return textCursor().selectionStart();
}

void CVexilRichTextBox::SetSelStart(int aPosition)
{
    QTextCursor caret = textCursor();
    caret.setPosition(std::clamp(aPosition, 0, document()->characterCount() - 1));
    setTextCursor(caret);
}

CVexilComboBox::CVexilComboBox(QWidget* aParent) : QComboBox(aParent), CVexilCtl(this, QPalette::Base)
{
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
}

void CVexilComboBox::SetLocked(bool aLocked)
{
    iLocked = aLocked;
    if (lineEdit())
        lineEdit()->setReadOnly(aLocked);
}

void CVexilComboBox::showPopup()
{
    if (!iLocked)
        QComboBox::showPopup();
}

void CVexilComboBox::keyPressEvent(QKeyEvent* aEvent)
{
    // Without an edit field every key may choose a line; with one, the read-only field
    // refuses typing itself and only these keys choose.
    static const int kChoosing[] = {Qt::Key_Up, Qt::Key_Down, Qt::Key_PageUp, Qt::Key_PageDown, Qt::Key_F4};
    if (iLocked && (!lineEdit() || std::find(std::begin(kChoosing), std::end(kChoosing), aEvent->key()) !=
                                       std::end(kChoosing)))
    {
        aEvent->ignore();
        return;
    }
    QComboBox::keyPressEvent(aEvent);
}

void CVexilComboBox::wheelEvent(QWheelEvent* aEvent)
{
    if (iLocked)
        aEvent->ignore();
    else
        QComboBox::wheelEvent(aEvent);
}

CVexilCheckBox::CVexilCheckBox(QWidget* aParent) : QCheckBox(aParent), CVexilCtl(this, QPalette::Window)
{
}

int CVexilCheckBox::Value() const
{
    switch (checkState())
    {
    case Qt::Unchecked: return 0;
    case Qt::Checked: return 1;
    default: return 2;
    }
}

void CVexilCheckBox::SetValue(int aValue)
{
    if (aValue == 2)
    {
        setTristate(true);
        setCheckState(Qt::PartiallyChecked);
    }
    else
    {
        setCheckState(aValue == 0 ? Qt::Unchecked : Qt::Checked);
        setTristate(false);
    }
}

CVexilOptionButton::CVexilOptionButton(QWidget* aParent) : QRadioButton(aParent), CVexilCtl(this, QPalette::Window)
{
}

CVexilCommandButton::CVexilCommandButton(QWidget* aParent) : QPushButton(aParent), CVexilCtl(this, QPalette::Button)
{
    // Enter goes to the focused control, not to a default button.
    setAutoDefault(false);
}

void CVexilCommandButton::SetPicture(const QImage& aPicture)
{
    iPicture = aPicture;
    if (aPicture.isNull())
        setIcon(QIcon());
    else
    {
        setIcon(QIcon(QPixmap::fromImage(aPicture)));
        setIconSize(aPicture.size());
    }
}

CVexilListView::CVexilListView(QWidget* aParent) : QTreeWidget(aParent), CVexilCtl(this, QPalette::Base)
{
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    header()->setStretchLastSection(false);
}

void CVexilListView::SetLastColumnFit(int aWidth)
{
    iLastColumnFit = aWidth;
    FitLastColumn();
}

void CVexilListView::updateGeometries()
{
    // Called whenever the visible width changes, a vertical scroll bar coming or going too.
    FitLastColumn();
    QTreeWidget::updateGeometries();
}

void CVexilListView::FitLastColumn()
{
    const int last = columnCount() - 1;
    if (iLastColumnFit < 0 || last < 0)
        return;
    int others = 0;
    for (int i = 0; i < last; ++i)
        others += columnWidth(i);
    // A hidden view lays its viewport out only when shown: until then the column keeps its width.
    const int fit = isVisible() ? std::clamp(viewport()->width() - others, 0, iLastColumnFit) : iLastColumnFit;
    // A column of width 0 stays hidden.
    const int width = iLastColumnFit > 0 ? std::max(fit, TitleWidth(last)) : 0;
    if (columnWidth(last) != width)
        setColumnWidth(last, width);
}

int CVexilListView::TitleWidth(int aColumn) const
{
    const QHeaderView* view = header();
    QStyleOptionHeader option;
    option.initFrom(view);
    option.text = headerItem()->text(aColumn);
    return view->style()->sizeFromContents(QStyle::CT_HeaderSection, &option, QSize(), view).width();
}

CVexilLabel::CVexilLabel(QWidget* aParent) : QLabel(aParent), CVexilCtl(this, QPalette::Window)
{
    setTextFormat(Qt::PlainText);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

CVexilPictureBox::CVexilPictureBox(QWidget* aParent) : QFrame(aParent), CVexilCtl(this, QPalette::Window)
{
    setAutoFillBackground(true);
    SetBorder(true);
}

void CVexilPictureBox::SetPicture(const QImage& aPicture)
{
    iPicture = aPicture;
    update();
}

void CVexilPictureBox::SetBorder(bool aBorder)
{
    setFrameStyle(aBorder ? QFrame::StyledPanel | QFrame::Sunken : QFrame::NoFrame);
}

void CVexilPictureBox::paintEvent(QPaintEvent* aEvent)
{
    QFrame::paintEvent(aEvent);
    if (iPicture.isNull())
        return;
    QPainter painter(this);
    const QRect inner = contentsRect();
    painter.setClipRect(inner);
    painter.drawImage(inner.topLeft(), iPicture);
}

CVexilLine::CVexilLine(QWidget* aParent) : QWidget(aParent), CVexilCtl(this, QPalette::Window)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void CVexilLine::SetEnds(float aX1, float aY1, float aX2, float aY2)
{
    iEnds[0] = aX1;
    iEnds[1] = aY1;
    iEnds[2] = aX2;
    iEnds[3] = aY2;
    // The widget covers the pixels from one end to the other, both included.
    const float left = std::min(aX1, aX2);
    const float top = std::min(aY1, aY2);
    Move(left, top, std::max(aX1, aX2) - left + KTwipsPerPixel, std::max(aY1, aY2) - top + KTwipsPerPixel);
    update();
}

void CVexilLine::SetBorderColor(int32_t aColor)
{
    iBorderColor = aColor;
    update();
}

void CVexilLine::paintEvent(QPaintEvent* /*aEvent*/)
{
    QPainter painter(this);
    painter.setPen(ToQColor(iBorderColor));
    const QPoint origin = pos();
    painter.drawLine(QPoint(TwipsToPixels(iEnds[0]), TwipsToPixels(iEnds[1])) - origin,
                     QPoint(TwipsToPixels(iEnds[2]), TwipsToPixels(iEnds[3])) - origin);
}
