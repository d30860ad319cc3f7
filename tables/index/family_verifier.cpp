#include "tables/index/family_verifier.hpp"

#include <map>
#include <optional>

#include "tables/index/family_tag.hpp"
#include "tables/index/index_entry_checks.hpp"
#include "tables/storage/xbase_error.hpp"

namespace tables {
namespace {

constexpr std::size_t kMaxLevels = 32;
constexpr std::size_t kMaxFaultsPerTag = 20;

class FamilyTagVerifier {
 public:
  FamilyTagVerifier(XBobjFamilyTag& tag, std::map<std::uint32_t, std::string>& pages,
                    XbIndexCheck& check)
      : tag_(tag), pages_(pages), check_(check) {}

  void Run() {
    if (Visit(tag_.ReadRootOffset(), 0, std::nullopt, std::nullopt)) {
      CheckOrder();
      CheckWalks();
      CheckRecords();
    }
    if (faults_ > kMaxFaultsPerTag) {
      check_.faults.push_back(
          {tag_.name(), -1, std::to_string(faults_ - kMaxFaultsPerTag) + " further faults"});
    }
    check_.tags.push_back({tag_.name(), static_cast<std::int64_t>(entries_.size())});
  }

 private:
  void Fault(std::int64_t page, std::string description) {
    if (++faults_ <= kMaxFaultsPerTag) {
      check_.faults.push_back({tag_.name(), page, std::move(description)});
    }
  }

  // Reads the subtree at page, whose keys must lie between low and high; false when it cannot
  // be read on.
  bool Visit(std::uint32_t page, std::size_t depth, const std::optional<std::string>& low,
             const std::optional<std::string>& high) {
    if (depth == kMaxLevels) {
      Fault(page, "the tree is deeper than 32 levels");
      return false;
    }
    if (!tag_.IsEntryNode(page)) {
      const auto [at, added] = pages_.emplace(page, tag_.name());
      if (!added) {
        Fault(page, "the node is reached twice (also by tag " + at->second + ")");
        return false;
      }
    }
    XBobjIndexKey node;
    try {
      tag_.ReadNode(page, node);
    } catch (const EXbaseError& error) {
      Fault(page, error.what());
      return false;
    }
    if (node.leaf) return VisitLeaf(node, depth, low, high);
    std::optional<std::string> below = low;
    for (std::size_t i = 0; i < node.entries.size(); ++i) {
      const XBobjIndexKeyData& entry = node.entries[i];
      const bool last = i + 1 == node.entries.size();
      const std::optional<std::string> bound = last ? high : std::optional(entry.key);
      const bool entryNode = tag_.IsEntryNode(entry.pointer);
      if (!Visit(entry.pointer, entryNode ? depth : depth + 1, below, bound)) return false;
      if (!last) below = entry.key;
    }
    return true;
  }

  bool VisitLeaf(const XBobjIndexKey& node, std::size_t depth,
                 const std::optional<std::string>& low, const std::optional<std::string>& high) {
    if (!tag_.IsEntryNode(node.page)) {
      if (!leafDepth_) leafDepth_ = depth;
      if (*leafDepth_ != depth) Fault(node.page, "a leaf at another depth than the first leaf");
      if (node.entries.empty() && !node.root) Fault(node.page, "a node without keys");
    }
    for (const XBobjIndexKeyData& entry : node.entries) {
      if ((low && tag_.CompareStored(entry.key, *low) < 0) ||
          (high && tag_.CompareStored(entry.key, *high) > 0)) {
        Fault(node.page, "the key of record " + std::to_string(entry.record) +
                             " lies outside the bounds its parent gives");
      }
      entries_.push_back({entry.key, entry.record, node.page});
    }
    return true;
  }

  void CheckOrder() {
    for (std::size_t i = 1; i < entries_.size(); ++i) {
      const XbVerifiedEntry& entry = entries_[i];
      const int order = tag_.CompareStored(entries_[i - 1].key, entry.key);
      if (order > 0) {
        Fault(entry.page, "key of record " + std::to_string(entry.record) +
                              " is out of order with the key before it");
      } else if (order == 0 && tag_.unique()) {
        Fault(entry.page,
              "a unique tag holds the key of record " + std::to_string(entry.record) + " twice");
      }
    }
  }

  void CheckWalks() { XbCheckWalks(tag_, entries_, Reporter()); }

  void CheckRecords() {
    XbCheckEntriesAgainstTable(
        tag_.file().table(),
        [this](std::string& key) { return tag_.EvaluateFor() && tag_.EvaluateKey(key); },
        tag_.unique(), entries_, Reporter());
  }

  XbFaultReport Reporter() {
    return
        [this](std::int64_t page, std::string description) { Fault(page, std::move(description)); };
  }

  XBobjFamilyTag& tag_;
  std::map<std::uint32_t, std::string>& pages_;
  XbIndexCheck& check_;
  std::size_t faults_ = 0;
  std::optional<std::size_t> leafDepth_;
  std::vector<XbVerifiedEntry> entries_;
};

}  // namespace

XbIndexCheck XbVerifyIndexFamily(XBobjIndexFile& file) {
  XbIndexCheck check;
  std::map<std::uint32_t, std::string> pages;
  for (int i = 0; i < file.TagCount(); ++i) {
    FamilyTagVerifier(dynamic_cast<XBobjFamilyTag&>(*file.TagByIndex(i)), pages, check).Run();
  }
  return check;
}

}  // namespace tables
