#include "tables/index/cdx_verifier.hpp"

#include <map>

#include "tables/index/cdx_key.hpp"
#include "tables/index/index_entry_checks.hpp"
#include "tables/storage/xbase_error.hpp"

namespace tables {
namespace {

constexpr const char* kDirectoryName = "(directory)";
constexpr std::size_t kMaxLevels = 32;
// Faults beyond this many per tag are summed up in one line.
constexpr std::size_t kMaxFaultsPerTag = 20;

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
      const XbVerifiedEntry& before = entries_[i - 1];
      const XbVerifiedEntry& entry = entries_[i];
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

  void CheckWalks() { XbCheckWalks(tag_, entries_, Reporter()); }

  void CheckRecords() {
    XbCheckEntriesAgainstTable(
        file_.table(),
        [this](std::string& key) { return tag_.EvaluateFor() && tag_.EvaluateKey(key); },
        tag_.unique(), entries_, Reporter());
  }

  XbFaultReport Reporter() {
    return
        [this](std::int64_t page, std::string description) { Fault(page, std::move(description)); };
  }

  XBobjCDXFile& file_;
  XBobjCDXTag& tag_;
  std::string name_;
  std::map<std::uint32_t, std::string>& pages_;
  XbIndexCheck& check_;
  std::size_t faults_ = 0;
  std::vector<XbVerifiedEntry> entries_;
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
