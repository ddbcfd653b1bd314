#pragma once

class QPixmap;

namespace zendrel {

// The 10 by 10 check mark shared by the check-all boxes and the flag cells of the word grid.
const QPixmap& CheckMarkImage();

} // namespace zendrel
