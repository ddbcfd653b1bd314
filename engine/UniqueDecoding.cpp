// Decides unique decodability with the dangling-suffix test: whenever one parse of a text is a
// word ahead of another, the surplus (a suffix of some word) must be matched by further words;
// the set is ambiguous exactly when some surplus is itself a word. Surpluses are suffixes of
// words, so there are at most as many as the words have letters, and a trie of the words finds
// each surplus's successors in time proportional to the words they touch.
#include "engine/UniqueDecoding.h"

#include <deque>
#include <string_view>
#include <unordered_set>
#include <utility>

namespace zendrel {

namespace {

class WordTrie {
public:
    explicit WordTrie(const std::vector<std::string>& words) : words_(words) {
        nodes_.emplace_back();
        for (std::size_t w = 0; w < words.size(); ++w)
            add(static_cast<int>(w));
    }

    bool duplicate() const { return duplicate_; }

    // The node reached by reading `text` from the root, or -1.
    int find(std::string_view text) const {
        int node = 0;
        for (char c : text) {
            node = child(node, c);
            if (node < 0)
                return -1;
        }
        return node;
    }
    int child(int node, char c) const {
        for (const auto& [ch, next] : nodes_[static_cast<std::size_t>(node)].next)
            if (ch == c)
                return next;
        return -1;
    }
    bool isWord(int node) const { return nodes_[static_cast<std::size_t>(node)].word; }
    // Every word that starts with the path to `node`, the path's own word included.
    const std::vector<int>& wordsBelow(int node) const {
        return nodes_[static_cast<std::size_t>(node)].below;
    }
    const std::string& word(int w) const { return words_[static_cast<std::size_t>(w)]; }

private:
    struct Node {
        std::vector<std::pair<char, int>> next;
        std::vector<int> below;
        bool word = false;
    };

    void add(int w) {
        int node = 0;
        nodes_[0].below.push_back(w);
        for (char c : words_[static_cast<std::size_t>(w)]) {
            int next = child(node, c);
            if (next < 0) {
                next = static_cast<int>(nodes_.size());
                nodes_[static_cast<std::size_t>(node)].next.emplace_back(c, next);
                nodes_.emplace_back();
            }
            node = next;
            nodes_[static_cast<std::size_t>(node)].below.push_back(w);
        }
        duplicate_ = duplicate_ || nodes_[static_cast<std::size_t>(node)].word;
        nodes_[static_cast<std::size_t>(node)].word = true;
    }

    const std::vector<std::string>& words_;
    std::vector<Node> nodes_;
    bool duplicate_ = false;
};

class SurplusSearch {
public:
    explicit SurplusSearch(const WordTrie& trie) : trie_(trie) {}

    // Queues the surplus of every word over each shorter word it starts with.
    void seed(const std::vector<std::string>& words) {
        for (const std::string& w : words)
            extensionsOf(w);
    }
    // Follows surpluses until one is a word (ambiguous) or none is new (decodable).
    bool ambiguous() {
        while (!queue_.empty()) {
            const std::string_view d = queue_.front();
            queue_.pop_front();
            const int node = trie_.find(d);
            if (node >= 0 && trie_.isWord(node))
                return true;
            // Words that start the surplus leave the rest of it over.
            int at = 0;
            for (std::size_t k = 0; k + 1 < d.size() && at >= 0; ++k) {
                at = trie_.child(at, d[k]);
                if (at >= 0 && trie_.isWord(at))
                    push(d.substr(k + 1));
            }
            if (node >= 0)
                extensionsOf(d);
        }
        return false;
    }

private:
    // Words that the text starts leave their remainder over.
    void extensionsOf(std::string_view text) {
        const int node = trie_.find(text);
        for (int w : trie_.wordsBelow(node)) {
            const std::string& word = trie_.word(w);
            if (word.size() > text.size())
                push(std::string_view(word).substr(text.size()));
        }
    }
    void push(std::string_view surplus) {
        if (seen_.insert(surplus).second)
            queue_.push_back(surplus);
    }

    const WordTrie& trie_;
    std::unordered_set<std::string_view> seen_;
    std::deque<std::string_view> queue_;
};

} // namespace

bool IsUniquelyDecodable(const std::vector<std::string>& words) {
    for (const std::string& w : words)
        if (w.empty())
            return false;
    const WordTrie trie(words);
    if (trie.duplicate())
        return false;
    SurplusSearch search(trie);
    search.seed(words);
    return !search.ambiguous();
}

} // namespace zendrel
