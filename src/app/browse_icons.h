// The visual browser's three pictures that are not thumbnails: the way up,
// a place to start from, and a folder. Taken from the icon folder
// (MODRA_ICON_DIR, else "icons/") as "up.png", "place.png" and
// "folder.png" when they are there, else drawn.
#pragma once

#include <QImage>
#include <QString>

#include "browser/browse_items.h"

namespace modra {

// The icon folder, ending in "/".
QString BrowseIconFolder();

struct BrowseIcons {
  QImage up, place, folder;
};
BrowseIcons LoadBrowseIcons(const QString& folder = BrowseIconFolder());

// The picture of an item that opens (none for a file).
const QImage* IconFor(const BrowseIcons& icons, BrowseKind kind);

}  // namespace modra
