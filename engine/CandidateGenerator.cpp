#include "engine/CandidateGenerator.h"

#include "engine/NameLengthTable.h"
#include "engine/ResultStore.h"
#include "engine/SearchListener.h"
#include "engine/SearchWindow.h"

#include <algorithm>
#include <new>

namespace zendrel {

namespace {

// Items of T moved into K per idle step: moving is not a progress step, and a batch keeps a
// million-name merge from costing a million loop passes while each step stays short.
constexpr std::size_t kCollectBatch = 1024;

} // namespace

CandidateGenerator::CandidateGenerator(MessageLoop& loop, RunVariables& run, ResultStore& results,
                                       SearchWindow& window, SearchListener& events)
    : loop_(loop), run_(run), results_(results), window_(window), events_(events),
      progress_(window) {}

CandidateGenerator::~CandidateGenerator() {
    if (idle_)
        loop_.removeIdle(*idle_);
}

void CandidateGenerator::start(const SearchInput& input) {
    run_.autoResumeCount = 0;
    if (run_.runState != RunState::Idle || active())
        return;
    window_.setRunButtons(false, true, false);
    run_.stopRequested = false;
    run_.runState = RunState::Generating;

    window_.setBusyCursor(true);
    results_.clear();
    window_.setBusyCursor(false);

    buildLists(input);
    if (zones_.empty()) {
        run_.stopRequested = true;
        events_.noZoneChecked();
        run_.runState = RunState::Idle;
        window_.setRunButtons(true, false, true);
        finish();
        events_.searchEnded(SearchEnd::NoZone);
        return;
    }
    progress_.start(progressTotal(input));
    beginCombination();
    idle_ = loop_.addIdle([this] { return step(); });
}

std::size_t CandidateGenerator::namesHeld() const {
    const bool collecting = phase_ == Phase::CollectCombined || phase_ == Phase::CollectAdditional;
    return names_.size() + scratch_.size() - (collecting ? collected_ : 0);
}

void CandidateGenerator::buildLists(const SearchInput& input) {
    combinations_ = input.combinations;
    useAdditional_ = input.useAdditional;
    useHyphens_ = input.useHyphens;
    hyphens_ = input.hyphens;
    maxLength_ = input.maxLength > 0 ? static_cast<std::size_t>(input.maxLength) : 0;
    CandidateLists lists = BuildCandidateLists(input);
    names_ = std::move(lists.names);
    entries_ = std::move(lists.entries);
    zones_ = std::move(lists.zones);
}

std::uint64_t CandidateGenerator::progressTotal(const SearchInput& input) const {
    const std::uint64_t k = names_.size();
    std::uint64_t w = k;
    if (input.combinations >= 2)
        w = ProgressMeter::saturatingAdd(
            k, ProgressMeter::saturatingPow(k, static_cast<unsigned>(input.combinations)));
    std::uint64_t total = ProgressMeter::saturatingMul(zones_.size() + 1, w);
    if (useAdditional_ && !entries_.empty())
        total = ProgressMeter::saturatingMul(total, entries_.size());
    return total;
}

void CandidateGenerator::beginCombination() {
    if (combinations_ < 2 || run_.stopRequested) {
        beginAdditional();
        return;
    }
    phase_ = Phase::Combine;
    scratch_.clear();
    keywords_.assign(names_.begin(), names_.end());
    keywordLengths_.clear();
    for (const std::string& k : keywords_)
        keywordLengths_.push_back(static_cast<std::size_t>(ShapeOf(k).stripped));
    tuple_.assign(static_cast<std::size_t>(combinations_), 0);
    tuple_.back() = -1;
}

void CandidateGenerator::beginAdditional() {
    if (!useAdditional_ || entries_.empty() || run_.stopRequested || names_.empty()) {
        beginRows();
        return;
    }
    phase_ = Phase::Additional;
    scratch_.clear();
    entryList_.assign(entries_.begin(), entries_.end());
    name_ = names_.begin();
    entry_ = 0;
}

void CandidateGenerator::beginRows() {
    if (run_.stopRequested) {
        run_.runState = RunState::Idle;
        window_.setRunButtons(true, false, true);
        finish();
        events_.searchEnded(SearchEnd::Stopped);
        return;
    }
    run_.runState = RunState::SearchRun;
    if (runStartTarget_)
        loop_.post(*runStartTarget_, Message{WM_RUN_START, 0, 0});
    phase_ = Phase::Rows;
    reserveRows();
    name_ = names_.begin();
    rowNames_.clear();
    rowName_ = 0;
    zone_ = zones_.end();
}

// A big search appends a million rows; growing the list by doubling would copy it, and its
// captions, again and again, each copy a stall of the window. Room for the rows of every name
// within the limit is made once; hyphen-free second forms may still grow it.
void CandidateGenerator::reserveRows() {
    std::size_t zoneBytes = 0;
    for (const std::string& z : zones_)
        zoneBytes += z.size() + 1;
    std::size_t rows = 0;
    std::size_t bytes = 0;
    for (const std::string& n : names_) {
        if (n.empty() || n.size() >= maxLength_)
            continue;
        rows += zones_.size();
        bytes += n.size() * zones_.size() + zoneBytes;
    }
    try {
        results_.reserve(rows, bytes);
    } catch (const std::bad_alloc&) {
        // Not fatal: the list then grows as rows arrive, as far as memory allows.
    }
}

bool CandidateGenerator::step() {
    try {
        phaseStep();
    } catch (...) {
        abandon();
        throw; // the loop reports it
    }
    if (phase_ != Phase::Done)
        return true;
    idle_.reset();
    return false;
}

void CandidateGenerator::phaseStep() {
    switch (phase_) {
    case Phase::Combine:
        combineStep();
        break;
    case Phase::CollectCombined:
    case Phase::CollectAdditional:
        collectStep();
        break;
    case Phase::Additional:
        additionalStep();
        break;
    case Phase::Rows:
        rowStep();
        break;
    case Phase::Done:
        break;
    }
}

// A step that failed (the name lists outgrew memory, say) ends the search as Stop would, so the
// window is never left waiting for a generation that no longer runs.
void CandidateGenerator::abandon() {
    run_.stopRequested = true;
    const bool generating = run_.runState == RunState::Generating;
    if (generating) {
        run_.runState = RunState::Idle;
        window_.setRunButtons(true, false, true);
    }
    idle_.reset();
    finish();
    // Once lookups have begun, the run carries the search to its end.
    if (generating)
        events_.searchEnded(SearchEnd::Stopped);
}

void CandidateGenerator::combineStep() {
    if (run_.stopRequested ||
        !NextCombination(tuple_, static_cast<std::int32_t>(keywords_.size()))) {
        // K becomes exactly the joined names; single keywords came back as all-equal tuples.
        names_.clear();
        collected_ = 0;
        phase_ = Phase::CollectCombined;
        return;
    }
    MaskRepeats(tuple_, mask_);
    // A repeat of an earlier tuple's keyword sequence joins to a name T already holds; keeping
    // it would only grow T (to 10^10 texts for ten keywords joined ten at a time). A name too
    // long for any row is not even joined: most tuples of a big search are such names.
    if (FirstTupleOfSequence(tuple_, mask_)) {
        std::size_t length = 0;
        for (std::size_t i = 0; i < tuple_.size(); ++i)
            if (mask_[i] != -1)
                length += keywordLengths_[static_cast<std::size_t>(tuple_[i])];
        if (mayGiveRows(length)) {
            std::string joined;
            for (std::size_t i = 0; i < tuple_.size(); ++i)
                if (mask_[i] != -1)
                    joined += keywords_[static_cast<std::size_t>(tuple_[i])];
            if (!joined.empty())
                scratch_.push_back(std::move(joined));
        }
    }
    progress_.step();
    passOverTooLongTuples();
}

// Every tuple that shares a prefix whose keywords are already too long for a row gives no name,
// whatever follows (repeats add nothing, new keywords only length). Forty keywords joined five
// at a time are 10^8 tuples, nearly all of them such; they are counted as done at once instead
// of being visited one loop step each.
void CandidateGenerator::passOverTooLongTuples() {
    const auto base = static_cast<std::int32_t>(keywords_.size());
    std::size_t length = 0;
    for (std::size_t j = 0; j + 1 < tuple_.size(); ++j) {
        if (mask_[j] != -1)
            length += keywordLengths_[static_cast<std::size_t>(tuple_[j])];
        if (mayGiveRows(length))
            continue;
        // Moves the later positions to their last value; the tuples in between are passed over.
        std::uint64_t passed = 0;
        for (std::size_t k = j + 1; k < tuple_.size(); ++k) {
            const auto left = static_cast<std::uint64_t>(base - 1 - tuple_[k]);
            const auto weight = ProgressMeter::saturatingPow(
                static_cast<std::uint64_t>(base), static_cast<unsigned>(tuple_.size() - 1 - k));
            passed =
                ProgressMeter::saturatingAdd(passed, ProgressMeter::saturatingMul(left, weight));
            tuple_[k] = base - 1;
        }
        progress_.advance(passed);
        return;
    }
}

void CandidateGenerator::collectStep() {
    const std::size_t end = std::min(scratch_.size(), collected_ + kCollectBatch);
    if (!run_.stopRequested) {
        for (; collected_ < end; ++collected_)
            names_.insert(std::move(scratch_[collected_]));
    }
    if (collected_ < scratch_.size() && !run_.stopRequested)
        return;
    std::vector<std::string>().swap(scratch_);
    if (phase_ == Phase::CollectCombined)
        beginAdditional();
    else
        beginRows();
}

void CandidateGenerator::additionalStep() {
    if (run_.stopRequested || name_ == names_.end()) {
        collected_ = 0;
        phase_ = Phase::CollectAdditional; // K keeps its names: the result is the union
        return;
    }
    const Affixes a = EntryAffixes(entryList_[entry_], useHyphens_ ? hyphens_ : 0);
    if (a.prefix)
        keep(std::string(a.word) + (a.prefixHyphen ? "-" : "") + *name_);
    if (a.suffix)
        keep(*name_ + (a.suffixHyphen ? "-" : "") + std::string(a.word));
    progress_.step();
    if (++entry_ == entryList_.size()) {
        entry_ = 0;
        ++name_;
    }
}

// Whether a name of this length (hyphens not counted) can still give a row, itself or through
// a longer name built around it in the additional phase; one that cannot is never kept.
bool CandidateGenerator::mayGiveRows(std::size_t lengthWithoutHyphens) const {
    return lengthWithoutHyphens < maxLength_;
}

void CandidateGenerator::keep(std::string name) {
    if (mayGiveRows(static_cast<std::size_t>(ShapeOf(name).stripped)))
        scratch_.push_back(std::move(name));
}

void CandidateGenerator::rowStep() {
    if (run_.stopRequested || !nextRowName()) {
        finish();
        return;
    }
    std::string caption = rowNames_[rowName_];
    caption += '.';
    caption += *zone_;
    results_.append(caption);
    progress_.step();
    ++zone_;
}

// Moves to the next (name form, zone) pair that needs a row; false when every name is done.
bool CandidateGenerator::nextRowName() {
    while (zone_ == zones_.end()) {
        if (rowName_ + 1 < rowNames_.size()) {
            ++rowName_;
            zone_ = zones_.begin();
            return true;
        }
        if (name_ == names_.end())
            return false;
        rowNames_.clear();
        rowName_ = 0;
        RowForms(*name_++, maxLength_, rowNames_);
        if (!rowNames_.empty())
            zone_ = zones_.begin();
    }
    return true;
}

void CandidateGenerator::finish() {
    phase_ = Phase::Done;
    names_.clear();
    entries_.clear();
    zones_.clear();
    std::vector<std::string>().swap(scratch_);
    keywords_.clear();
    keywordLengths_.clear();
    entryList_.clear();
    rowNames_.clear();
    progress_.finish();
}

} // namespace zendrel
