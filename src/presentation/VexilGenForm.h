#pragma once

#include "platform/VexilCtls.h"
#include "platform/VexilForm.h"

#include <QImage>
#include <QPointF>

#include <array>
#include <vector>

// The card window: from its design it holds the hidden pools of widgets that the card view
// lays a background out with (found by name: "fGenTextBox0" ...), the hidden picture boxes
// for the wallpaper and for scratch pictures, and the progress display of a running script.
// It creates no widgets after construction. The program keeps one instance, made on first
// use through the form registry under "CVexilGenForm".
class CVexilGenForm : public CVexilForm
{
    Q_OBJECT

public:
    static inline const QString KClassName = QStringLiteral("CVexilGenForm");

    CVexilGenForm();

    // Registers the class with the form registry (again is harmless).
    static void Register();
    // The one instance, made now when it does not exist.
    static CVexilGenForm* Instance();

    // The wallpaper painted under the widgets: the picture at each position (twips of the
    // client area, top left corner); an empty list paints none. Repaints later.
    void SetWallPaperDrawing(const QImage& aPicture, std::vector<QPointF> aPositions);
    const std::vector<QPointF>& WallPaperPositions() const { return iWallPaperPositions; }

    // True while the card view writes a check box's value, so that its click handler knows
    // the change is not the user's.
    bool iShowing = false;

    std::array<CVexilTextBox*, 20> fGenTextBox{};
    std::array<CVexilRichTextBox*, 10> fGenRichTextBox{};
    std::array<CVexilComboBox*, 10> fGenComboBox{};
    std::array<CVexilCheckBox*, 10> fGenCheckBox{};
    std::array<CVexilCommandButton*, 10> fGenButton{};
    std::array<CVexilListView*, 10> fGenListView{};
    std::array<CVexilLabel*, 30> fGenLabel{};
    std::array<CVexilPictureBox*, 10> fGenPictureBox{};
    CVexilLine* fGenLine0 = nullptr;
    CVexilPictureBox* fWallPaperBox = nullptr;
    CVexilPictureBox* fTempPicBox = nullptr;
    CVexilPictureBox* fProgressBox = nullptr;
    CVexilLabel* fProgress = nullptr;

protected:
    void paintEvent(QPaintEvent* aEvent) override;

private:
    template <class T, size_t N>
    void AddPool(std::array<T*, N>& aPool, const QString& aPrefix, float aWidth, float aHeight);

    QImage iWallPaper;
    std::vector<QPointF> iWallPaperPositions;
};
