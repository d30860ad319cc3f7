#include "tables/index/cdx_verifier.hpp"

#include <algorithm>
#include <map>
#include <optional>
#include <set>

#include "tables/index/cdx_key.hpp"
#include "tables/storage/xbase_error.hpp"

namespace tables {
namespace {

constexpr const char* kDirectoryName = "(directory)";
constexpr std::size_t kMaxLevels = 32;
// Faults beyond this many per tag are summed up in one line.
constexpr std::size_t kMaxFaultsPerTag = 20;

struct Entry {
  std::string key;
  std::int32_t record;
  std::uint32_t page;
  friend bool operator==(const Entry& a, const Entry& b) {
    return a.key == b.key && a.record == b.record;
  }
};

class TagVerifier {
 public:
  TagVerifier(XBobjCDXFile& file, XBobjCDXTag& tag, std::map<std::uint32_t, std::string>& pages,
              XbIndexCheck& check)
      : file_(file),
        tag_(tag),
        name_(tag.isDirectory() ? kDirectoryName : tag.name()),
        pages_(pages),
        check_(check) {}

  void Run() {
    ClaimHeaderPages();
    if (!CheckTree()) return Finish();
    CheckOrder();
    CheckWalks();
    if (!tag_.isDirectory()) CheckRecords();
    Finish();
  }

 private:
  void Fault(std::int64_t page, std::string description) {
    ++faults_;
    if (faults_ <= kMaxFaultsPerTag) {
      check_.faults.push_back({name_, page, std::move(description)});
    }
  }

  void Finish() {
    if (faults_ > kMaxFaultsPerTag) {
      check_.faults.push_back(
          {name_, -1, std::to_string(faults_ - kMaxFaultsPerTag) + " further faults"});
    }
    check_.tags.push_back({name_, static_cast<std::int64_t>(entries_.size())});
  }

  bool Claim(std::uint32_t page, const std::string& what) {
    const auto [at, added] = pages_.emplace(page, name_ + " " + what);
    if (!added) Fault(page, "the page is reached twice: as " + what + " and as " + at->second);
    return added;
  }

  void ClaimHeaderPages() {
    Claim(tag_.headerOffset(), "header");
    Claim(tag_.headerOffset() + kCdxPageSize, "header");
  }

  // Reads the tree level by level; false when it cannot be read on.
  bool CheckTree() {
    std::vector<std::uint32_t> level{tag_.header().root};
    std::vector<XBobjIndexKeyData> parents;  // the entries that lead to level's nodes
    for (std::size_t depth = 0; !level.empty(); ++depth) {
      if (depth == kMaxLevels) {
        Fault(level.front(), "the tree is deeper than 32 levels");
        return false;
      }
      std::vector<XBobjIndexKey> nodes;
      for (const std::uint32_t page : level) {
        if (!Claim(page, "node")) return false;
        XBobjIndexKey node;
        try {
          tag_.ReadNode(page, node);
        } catch (const EXbaseError& error) {
          Fault(page, error.what());
          return false;
        }
        nodes.push_back(std::move(node));
      }
      CheckLevel(nodes, parents, depth == 0);
      std::vector<std::uint32_t> next;
      parents.clear();
      const bool leaves = nodes.front().leaf;
      for (const XBobjIndexKey& node : nodes) {
        if (node.leaf != leaves) {
          Fault(node.page, "leaves and interior nodes on one level of the tree");
          return false;
        }
        for (const XBobjIndexKeyData& entry : node.entries) {
          if (leaves) {
            entries_.push_back({entry.key, entry.record, node.page});
          } else {
            next.push_back(entry.pointer);
            parents.push_back(entry);
          }
        }
      }
      level = std::move(next);
    }
    return true;
  }

  void CheckLevel(const std::vector<XBobjIndexKey>& nodes,
                  const std::vector<XBobjIndexKeyData>& parents, bool rootLevel) {
    for (std::size_t i = 0; i < nodes.size(); ++i) {
      const XBobjIndexKey& node = nodes[i];
      const std::uint32_t left = i == 0 ? kNoPage : nodes[i - 1].page;
      const std::uint32_t right = i + 1 == nodes.size() ? kNoPage : nodes[i + 1].page;
      if (node.left != left) {
        Fault(node.page, "left sibling " + Page(node.left) + " instead of " + Page(left));
      }
      if (node.right != right) {
        Fault(node.page, "right sibling " + Page(node.right) + " instead of " + Page(right));
      }
      if (node.root != rootLevel) {
        Fault(node.page, rootLevel ? "the root lacks the root attribute"
                                   : "a node below the root has the root attribute");
      }
      if (!rootLevel && node.entries.empty()) Fault(node.page, "a node without keys");
      if (rootLevel || node.entries.empty()) continue;
      const XBobjIndexKeyData& parent = parents[i];
      const XBobjIndexKeyData& last = node.entries.back();
      if (parent.key != last.key || parent.record != last.record) {
        Fault(node.page, "its parent's entry (record " + std::to_string(parent.record) +
                             ") does not name its last key (record " + std::to_string(last.record) +
                             ")");
      }
    }
  }

  static std::string Page(std::uint32_t page) {
    return page == kNoPage ? "none" : std::to_string(page);
  }

  void CheckOrder() {
    for (std::size_t i = 1; i < entries_.size(); ++i) {
      const Entry& before = entries_[i - 1];
      const Entry& entry = entries_[i];
      const int order = CdxCompareKeys(before.key, entry.key);
      if (order > 0) {
        Fault(entry.page, "key of record " + std::to_string(entry.record) +
                              " is smaller than the key before it");
      } else if (order == 0 && tag_.unique()) {
        Fault(entry.page,
              "a unique tag holds the key of record " + std::to_string(entry.record) + " twice");
      } else if (order == 0 && before.record >= entry.record) {
        Fault(entry.page, "equal keys of records " + std::to_string(before.record) + " and " +
                              std::to_string(entry.record) + " are not in record order");
      }
    }
  }

  // The entries met by walking the tag one way; nothing when the walk failed.
  std::optional<std::vector<Entry>> Walk(bool forwards) {
    std::vector<Entry> met;
    const int start = forwards ? xb_move::First : xb_move::Last;
    const int step = forwards ? xb_move::Next : xb_move::Previous;
    try {
      tag_.Move(start);
      for (const XBobjIndexKeyData* entry = tag_.current(); entry; entry = tag_.current()) {
        if (met.size() > entries_.size()) break;
        met.push_back({entry->key, entry->record, 0});
        tag_.Move(step);
      }
    } catch (const EXbaseError& error) {
      Fault(-1, std::string(forwards ? "forward" : "backward") + " walk: " + error.what());
      return std::nullopt;
    }
    return met;
  }

  void CheckWalks() {
    std::vector<Entry> stored = entries_;
    if (tag_.descending()) std::reverse(stored.begin(), stored.end());
    if (const auto forward = Walk(true); forward && *forward != stored) {
      Fault(-1, "the forward walk meets " + std::to_string(forward->size()) + " entries, not the " +
                    std::to_string(stored.size()) + " of the tree in order");
    }
    std::reverse(stored.begin(), stored.end());
    if (const auto backward = Walk(false); backward && *backward != stored) {
      Fault(-1, "the backward walk meets " + std::to_string(backward->size()) +
                    " entries, not the " + std::to_string(stored.size()) + " of the tree in order");
    }
  }

  void CheckRecords() {
    XBO_dBaseFld& table = file_.table();
    const std::int32_t count = table.recordCount();
    std::vector<std::optional<std::string>> expected(static_cast<std::size_t>(count) + 1);
    try {
      for (std::int32_t n = 1; n <= count; ++n) {
        table.ReadRecord(n);
        std::string key;
        if (tag_.EvaluateFor() && tag_.EvaluateKey(key))
          expected[static_cast<std::size_t>(n)] = key;
      }
    } catch (const std::exception& error) {
      Fault(-1, std::string("evaluating the expressions: ") + error.what());
      return;
    }
    std::vector<int> seen(static_cast<std::size_t>(count) + 1, 0);
    for (const Entry& entry : entries_) {
      if (entry.record < 1 || entry.record > count) {
        Fault(entry.page, "record " + std::to_string(entry.record) + " is not in the table");
        continue;
      }
      const auto& key = expected[static_cast<std::size_t>(entry.record)];
      if (!key) {
        Fault(entry.page, "record " + std::to_string(entry.record) +
                              " has an entry though its FOR condition does not hold");
      } else if (*key != entry.key) {
        Fault(entry.page, "the key of record " + std::to_string(entry.record) +
                              " is not its key expression's value");
      }
      if (++seen[static_cast<std::size_t>(entry.record)] == 2) {
        Fault(entry.page, "record " + std::to_string(entry.record) + " has more than one entry");
      }
    }
    CheckMissing(expected, seen);
  }

  void CheckMissing(const std::vector<std::optional<std::string>>& expected,
                    const std::vector<int>& seen) {
    if (!tag_.unique()) {
      for (std::size_t n = 1; n < expected.size(); ++n) {
        if (expected[n] && seen[n] == 0) {
          Fault(-1, "record " + std::to_string(n) + " has no entry");
        }
      }
      return;
    }
    std::set<std::string> present;
    for (const Entry& entry : entries_)
      present.insert(entry.key);
    for (std::size_t n = 1; n < expected.size(); ++n) {
      if (expected[n] && present.insert(*expected[n]).second) {
        Fault(-1, "the key of record " + std::to_string(n) + " has no entry");
      }
    }
  }

  XBobjCDXFile& file_;
  XBobjCDXTag& tag_;
  std::string name_;
  std::map<std::uint32_t, std::string>& pages_;
  XbIndexCheck& check_;
  std::size_t faults_ = 0;
  std::vector<Entry> entries_;
};

}  // namespace

XbIndexCheck XbVerifyCdx(XBobjCDXFile& file) {
  XbIndexCheck check;
  std::map<std::uint32_t, std::string> pages;
  TagVerifier(file, file.directory(), pages, check).Run();
  for (int i = 0; i < file.TagCount(); ++i) {
    TagVerifier(file, *file.CdxTag(i), pages, check).Run();
  }
  return check;
}

}  // namespace tables
