// The shell's pictures, drawn at start so that the program carries no image
// files of its own: the banner of the top strip and the small glyph icons of
// the trees and the navigation bar.
#pragma once

#include <QColor>
#include <QIcon>
#include <QPixmap>
#include <QString>

// A rounded tile in the colour with one character on it.
QIcon MakeGlyphIcon(const QString& glyph, const QColor& colour);
// A folder, open or closed, for class trees.
QIcon MakeFolderIcon(bool open);
// The banner at the left of the top strip, width × height pixels.
QPixmap MakeBanner(int width, int height);
