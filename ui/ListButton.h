#pragma once

#include <QString>

class QObject;
class QToolButton;
class QWidget;

namespace zendrel {

// A flat tool-row button of the word lists, named after its control; `tag` tells the add (0)
// and edit (1) buttons apart where they share one handler.
QToolButton* MakeListButton(QWidget* parent, const char* name, const QString& caption,
                            const QString& hint = {}, int tag = 0);

// The tag given to a button by MakeListButton.
int ButtonTag(const QObject* button);

} // namespace zendrel
