#pragma once

#include <QLabel>
#include <QString>

// A text panel of a status bar. It shows as much of its text as its width allows, with an
// ellipsis where the text is cut, never drawing past its own edges, and gives the whole text
// as its tool tip. Fixed, it always takes the width its whole text needs.
class CVexilStatusPanel : public QLabel
{
    Q_OBJECT

public:
    explicit CVexilStatusPanel(QWidget* aParent = nullptr);

    QString FullText() const { return iText; }
    void SetFullText(const QString& aText);
    // Whether the panel keeps the width of its whole text rather than sharing what is left.
    void SetFixed(bool aFixed);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* aEvent) override;

private:
    int TextWidth() const;
    void ShowFitting();

    QString iText;
    bool iFixed = false;
};
