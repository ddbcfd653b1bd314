#pragma once

#include <QRect>
#include <QSize>

namespace zendrel {

// Where a window without a stored placement goes when it is not maximized: three quarters of the
// screen's free area each way, but never smaller than the layout's `design` size; centred in the
// area, or against its left or top edge where the design size does not fit.
QRect FirstWindowGeometry(const QRect& available, const QSize& design);

} // namespace zendrel
