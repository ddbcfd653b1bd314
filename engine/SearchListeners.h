#pragma once

#include "engine/SearchListener.h"

#include <algorithm>
#include <vector>

namespace zendrel {

// Passes every event on to each registered listener, in registration order. A handler may open
// a modal dialog (which runs the loop) or add and remove listeners; each event goes to the
// listeners that were registered when it began and still are when their turn comes.
class SearchListeners final : public SearchListener {
public:
    void add(SearchListener& l) { list_.push_back(&l); }
    void remove(SearchListener& l) {
        list_.erase(std::remove(list_.begin(), list_.end(), &l), list_.end());
    }

    void noZoneChecked() override {
        each([](SearchListener& l) { l.noZoneChecked(); });
    }
    void passFinished(int pass) override {
        each([pass](SearchListener& l) { l.passFinished(pass); });
    }
    void lookupEnded(std::size_t row, const LookupOutcome& outcome) override {
        each([&](SearchListener& l) { l.lookupEnded(row, outcome); });
    }
    void runFinished(RunEnd end) override {
        each([end](SearchListener& l) { l.runFinished(end); });
    }
    void searchEnded(SearchEnd end) override {
        each([end](SearchListener& l) { l.searchEnded(end); });
    }

private:
    template <typename Call>
    void each(const Call& call) {
        const std::vector<SearchListener*> now = list_;
        for (SearchListener* l : now) {
            if (std::find(list_.begin(), list_.end(), l) != list_.end())
                call(*l);
        }
    }

    std::vector<SearchListener*> list_;
};

} // namespace zendrel
