#pragma once

#include <QPointF>

#include <vector>

class CVexilCard;
class CVexilPictureBox;

// Where a wallpaper of aPictureWidth x aPictureHeight twips is painted on a window of
// aWindowWidth x aWindowHeight twips (outer size): tiled from the top left, columns first,
// while a tile starts within the window, or once centred (a larger picture starts left of and
// above the window). Top-left corners in twips; none for a picture without size.
std::vector<QPointF> WallPaperOrigins(float aWindowWidth, float aWindowHeight, float aPictureWidth,
                                      float aPictureHeight, bool aTile);

// The work of the card view's DrawWallPaper, without painting: decides what the card window
// shows behind its widgets for aCard. The decoded picture and its blob reference go into the
// window's hidden wallpaper box (whose Tag names the blob); aPositions receives the places
// to paint the box's picture at, none when the background shows no wallpaper or its picture
// cannot be decoded. The picture is decoded only when the box does not hold that blob already,
// so repaints never decode. False when nothing is to change: a card without background or
// stack. A failing read of the blob raises.
bool PlaceWallPaper(CVexilPictureBox& aWallPaperBox, const CVexilCard& aCard, float aWindowWidth, float aWindowHeight,
                    std::vector<QPointF>& aPositions);
