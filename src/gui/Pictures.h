// The program's own drawings: the start picture, the portrait place, the greeting pictures and
// the dedication picture. Drawn with QPainter, so no image file ships with the program.
#pragma once

#include <QPixmap>
#include <QSize>

namespace vortel::gui {

// Survival and fecundity curves of a life table, with the program's name.
QPixmap StartPicture(QSize size);
// A neutral outline where a portrait may go; deliberately no likeness of anyone.
QPixmap PortraitPicture(QSize size);
// Morning, afternoon, evening and bedtime, for each of the four sets (index 0 to 15).
QPixmap GreetingPicture(int index, QSize size);
// A young tree growing from an old stump.
QPixmap DedicationPicture(QSize size);

}  // namespace vortel::gui
