#include "engine/CheckAllToggle.h"

#include "engine/ResultStore.h"
#include "engine/SearchWindow.h"

namespace zendrel {

bool CheckAllToggle::columnClick(int column, ResultStore& rows, SearchWindow& window) {
    if (column != kDomainColumn)
        return false;
    window.setBusyCursor(true);
    counter_ = (counter_ + 1) % 2;
    rows.setAllChecked(counter_ == 0);
    window.setBusyCursor(false);
    return true;
}

} // namespace zendrel
