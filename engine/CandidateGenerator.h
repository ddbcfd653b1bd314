#pragma once

#include "engine/CandidateLists.h"
#include "engine/NameRules.h"
#include "engine/ProgressMeter.h"
#include "engine/RunState.h"
#include "engine/SearchInput.h"
#include "platform/MessageLoop.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zendrel {

class ResultStore;
class SearchListener;
class SearchWindow;

// The Search command: turns the word lists into candidate names and appends one result row per
// name and zone. The work runs as idle work of the message loop, one tuple, word pair or row per
// step, so Stop, the dispatch timer and the lookups run between steps and nothing ever pumps
// the loop from inside a step.
class CandidateGenerator {
public:
    // Where the work stands; the Collect phases move joined names into the ordered list.
    enum class Phase {
        Combine,
        CollectCombined,
        Additional,
        CollectAdditional,
        Rows,
        Done,
    };

    // `events` hears of a refused search and of a search that ends before its lookups begin.
    CandidateGenerator(MessageLoop& loop, RunVariables& run, ResultStore& results,
                       SearchWindow& window, SearchListener& events);
    ~CandidateGenerator();
    CandidateGenerator(const CandidateGenerator&) = delete;
    CandidateGenerator& operator=(const CandidateGenerator&) = delete;

    // Where WM_RUN_START is posted when the first rows are about to be added.
    void setRunStartTarget(TargetId target) { runStartTarget_ = target; }

    // Starts a search with the controls' values; does nothing while a run is active.
    void start(const SearchInput& input);
    // True from start until the last row has been added or the work was stopped.
    bool active() const { return phase_ != Phase::Done; }
    // True while rows are still being appended (the run must not end before they are all in).
    bool addingRows() const { return phase_ == Phase::Rows; }
    Phase phase() const { return phase_; }
    // Names held for the rows still to come: the ordered list and the joined names not yet in it.
    std::size_t namesHeld() const;

private:
    void buildLists(const SearchInput& input);
    std::uint64_t progressTotal(const SearchInput& input) const;
    void beginCombination();
    void beginAdditional();
    void beginRows();
    void reserveRows();
    bool step();
    void phaseStep();
    void abandon();
    void combineStep();
    void passOverTooLongTuples();
    void collectStep();
    void additionalStep();
    void rowStep();
    bool nextRowName();
    void finish();
    bool mayGiveRows(std::size_t lengthWithoutHyphens) const;
    void keep(std::string name);

    MessageLoop& loop_;
    RunVariables& run_;
    ResultStore& results_;
    SearchWindow& window_;
    SearchListener& events_;
    ProgressMeter progress_;
    std::optional<TargetId> runStartTarget_;
    std::optional<MessageLoop::IdleId> idle_;
    Phase phase_ = Phase::Done;

    // Working lists of one search.
    int combinations_ = 1;
    bool useAdditional_ = false;
    bool useHyphens_ = false;
    int hyphens_ = 1;
    std::size_t maxLength_ = 30;
    NameSet names_;                           // K
    NameSet entries_;                         // A: flag1 flag2 word
    NameSet zones_;                           // Z
    std::vector<std::string> scratch_;        // T
    std::vector<std::string> keywords_;       // K as it was before joining, for index access
    std::vector<std::size_t> keywordLengths_; // of keywords_, without hyphens
    std::vector<std::string> entryList_;      // A, for the inner loop of the additional phase
    IndexTuple tuple_;                        // P
    IndexTuple mask_;                         // M
    std::size_t collected_ = 0;               // items of T already moved into K
    NameSet::const_iterator name_;            // current name of the additional and row phases
    std::size_t entry_ = 0;                   // current entry of the additional phase
    std::vector<std::string> rowNames_;       // forms of the current name that get rows
    std::size_t rowName_ = 0;
    NameSet::const_iterator zone_;
};

} // namespace zendrel
