// The program's own drawings: the start picture, the portrait place, the greeting pictures and
// the dedication picture. Drawn with QPainter, so no image file ships with the program; each
// is drawn at `dpr` device pixels per pixel of `size`.
#pragma once

#include <QPixmap>
#include <QSize>

namespace vortel::gui {

// Survival and fecundity curves of a life table, with the program's name.
QPixmap StartPicture(QSize size, qreal dpr = 1);
// A neutral outline where a portrait may go; deliberately no likeness of anyone.
QPixmap PortraitPicture(QSize size, qreal dpr = 1);
// Morning, afternoon, evening and bedtime, for each of the four sets (index 0 to 15).
QPixmap GreetingPicture(int index, QSize size, qreal dpr = 1);
// A young tree growing from an old stump.
QPixmap DedicationPicture(QSize size, qreal dpr = 1);

}  // namespace vortel::gui
