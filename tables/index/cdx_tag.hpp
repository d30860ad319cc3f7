#pragma once
// XBobjCDXTag: one tag of a compound index file: its 1024-byte header, its key type and key
// conversion, the reading of its nodes, and the evaluation of its key and FOR expressions on
// the table's current record. The tag directory is a tag of this class too (character keys of
// length 10, no expressions).
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "tables/index/cdx_layout.hpp"
#include "tables/index/exp_handler.hpp"
#include "tables/index/index_file.hpp"
#include "tables/index/index_tag.hpp"

namespace tables {

class XBobjCDXFile;
class CdxTreeEditor;

class XBobjCDXTag : public XBobjIndexTag {
 public:
  // The tag whose header lies at headerOffset: reads and checks the header, compiles the
  // expressions and learns the key type from the table's current record.
  XBobjCDXTag(XBobjCDXFile& file, std::string name, std::uint32_t headerOffset);
  // The tag directory, with the header read from offset 0.
  explicit XBobjCDXTag(XBobjCDXFile& file);
  // A tag being defined: header and key form come from the definition and the key type.
  XBobjCDXTag(XBobjCDXFile& file, std::uint32_t headerOffset, const CdxTagHeader& header,
              XbKeyType keyType);
  ~XBobjCDXTag() override;

  // A new tag from its definition (its header placed later with MoveHeader): compiles the
  // expressions and learns key type and length from the table's current record. Raises an
  // engine error, before anything is written, for a name that is empty or longer than 10
  // characters, a key expression that gives no key or an empty one, a key longer than 239 bytes
  // ("Sort key length greater than 240 bytes") and a FOR expression that is not logical.
  static std::unique_ptr<XBobjCDXTag> Define(XBobjCDXFile& file, const XbTagDefinition& definition);
  // Places the header at offset (two new pages), its version back at 0.
  void MoveHeader(std::uint32_t offset);
  // Builds the tree from every record of the table (deleted ones included, those whose FOR
  // fails left out) on new pages of the file, reporting phases 1 and 2, and writes the header.
  void Build();

  std::string ConvertKey(const TxbVariant& value) const override;
  void AssignKey(const TxbVariant& value, std::string& key) const override;
  // The root page; notes the file's version the tree is read at.
  std::uint32_t ReadRootOffset() override;
  void ReadNode(std::uint32_t page, XBobjIndexKey& node) override;
  int SearchNode(std::uint32_t page, const XBobjNodeSearch& search, XBobjIndexKey& node) override;
  // Reads the node at page on the way down to search's entry: a leaf (and any GENERAL-key
  // node) decoded in full, an interior node searched as SearchNode does and left partial.
  void ReadPathNode(std::uint32_t page, const XBobjNodeSearch& search, XBobjIndexKey& node);
  [[noreturn]] void NodeFault(std::uint32_t page, const std::string& reason) const override;

  std::string KeyExpressionText() const override { return header_.keyExpression; }
  bool EvaluateKey(std::string& key) override;
  // EvaluateKey without a copy where none is needed: a text key is the expression's own
  // text, valid until the next evaluation; other keys are converted into scratch. Nothing
  // when the expression gives no value of a key type.
  std::optional<std::string_view> EvaluateKeyBytes(std::string& scratch);
  bool EvaluateFor() override;

  XbKeyType keyType() const override { return keyType_; }
  const CdxKeyForm& keyForm() const { return form_; }
  const CdxTagHeader& header() const { return header_; }
  std::uint32_t headerOffset() const { return headerOffset_; }
  bool isDirectory() const { return headerOffset_ == 0; }
  // Writes the header (with the root given).
  void WriteHeader(std::uint32_t root);
  // Reads the header again (after another program or a rebuild changed it).
  void ReloadHeader();
  void SetVersion(std::int32_t version) { header_.version = version; }
  // The editor that keeps this tag's tree current, for a table of highestRecord records.
  CdxTreeEditor& Editor(std::uint32_t highestRecord);

 protected:
  // True when the file's version moved on since the tree was last read from the root.
  bool TreeChanged() override;

 private:
  void CompileExpressions();
  void LearnKeyType();
  void SetForm();
  // The page's bytes; a page outside the file raises the node fault.
  const std::uint8_t* PageBytes(std::uint32_t page, std::uint8_t* scratch);

  XBobjCDXFile& file_;
  std::uint32_t headerOffset_;
  CdxTagHeader header_;
  CdxKeyForm form_;
  XbKeyType keyType_ = XbKeyType::Character;
  std::unique_ptr<TxbExpHandler> keyExpression_;
  std::unique_ptr<TxbExpHandler> forExpression_;
  std::int32_t treeVersion_ = 0;
  TxbVariant evaluated_;  // the key expression's last value, its storage used again
  std::unique_ptr<CdxTreeEditor> editor_;
};

}  // namespace tables
