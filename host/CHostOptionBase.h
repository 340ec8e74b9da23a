// CHostOptionBase: the host's common option implementation: the sub-option
// list, the lookups by tag path, and where the option sat in its packet.
//
// Concrete options derive from it (CTypedOption<T> for options with
// elements, CHostOptionContainer for encapsulating options and the message
// root). Sub-options are shared pointers kept in wire order; their parent
// pointer is set by addChild, except under a message root, whose children are
// the top-level options of the message and keep a null parent:
//
//   CGeneralPtr<COption> root = makeMessageRoot(4);
//   CGeneralPtr<COption> relay = makeOption(relayDefinition);   // 82
//   relay->addChild(makeOption(circuitIdDefinition));           // 82/1
//   root->addChild(relay);
//   root->contains(CTagPath("82/1"), COptionType(), 0);          // true
//   root->get(CTagPath("82/1"), COptionType(), 0)->fullTagPath();  // 82/1
//
// Lookups allocate nothing and build no path: they walk the tree by tag,
// reading the host options below without copying their holders, and hand
// out a holder only where the caller asks for one (fill, get, tryGet,
// getAll). A lookup with an empty path finds nothing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "class_a/standard/CHexStore.h"
#include "class_b/dhcp/dhcp_base/COption.h"

namespace qvt {

class CHostOptionBase : public COption {
 public:
  // CHostOptionBase: an option of definition attributes below parent (not
  // owned; null at the top level). A message root holds the top-level
  // options of a message and leaves their parent null.
  explicit CHostOptionBase(const COptionAttributes& attributes, COption* parent = nullptr,
                           std::uint64_t context = 0, bool messageRoot = false);
  // CHostOptionBase(shared, ...): reads a shared definition in place (see
  // COption).
  explicit CHostOptionBase(CSharedDefinition shared, COption* parent = nullptr,
                           std::uint64_t context = 0, bool messageRoot = false);
  // Copies the definition, parent, context, message-root flag, wire span and
  // raw bytes; not the sub-options (clone copies those).
  CHostOptionBase(const CHostOptionBase& other);
  CHostOptionBase& operator=(const CHostOptionBase& other) = delete;
  ~CHostOptionBase() override;

  bool isMessageRoot() const { return messageRoot_; }

  std::size_t childCount() const override { return children_.size(); }
  // reserveChildren: room for count sub-options, so that adding that many
  // does not grow the list again and again.
  void reserveChildren(std::size_t count) { children_.reserve(count); }
  Ptr child(std::size_t index) const override;

  std::size_t wireOffset() const override { return wireOffset_; }
  std::size_t wireLength() const override { return wireLength_; }
  void setWireSpan(std::size_t offset, std::size_t length) override;
  const CHexStore* raw() const override { return hasRaw_ ? &raw_ : nullptr; }
  // setRaw: keeps the data bytes the option was decoded from (see raw).
  void setRaw(const CHexStore& bytes);
  void setRaw(const unsigned char* bytes, std::size_t length);

  bool contains(const CTagPath& path, const COptionType& type,
                std::uint32_t selector) const override;
  std::size_t instances(const CTagPath& path, const COptionType& type,
                        std::uint32_t selector) const override;
  COption* find(const CTagPath& path, std::int32_t instance, const COptionType& type,
                std::uint32_t selector) const override;
  void getAll(const CTagPath& path, List& holders, const COptionType& type,
              std::uint32_t selector) const override;
  void addChild(const Ptr& child) override;
  void fill(const CTagPath& path, Ptr& holder, std::int32_t instance, const COptionType& type,
            std::uint32_t selector) const override;
  Ptr get(const CTagPath& path, const COptionType& type, std::uint32_t selector) const override;
  bool tryGet(const CTagPath& path, Ptr& holder, const COptionType& type,
              std::uint32_t selector) const override;
  std::size_t remove(const CTagPath& path, const COptionType& type,
                     std::uint32_t selector) override;
  void clearChildren() override;
  void insert(const CTagPath& parentPath, const Ptr& option) override;
  // equals: same type code, own tag, element texts and sub-options in order.
  bool equals(const COption& other) const override;
  // dump: one line per option, "<full tag path> <type>: <element>, ...",
  // then its sub-options, depth first; a message root prints only its
  // sub-options.
  std::string dump() const override;

  // elementText: the text form of element index as the element's variant
  // would write it (byte sequences as "0A-1B"). index must be below count().
  virtual std::string elementText(std::size_t index) const = 0;

 protected:
  // _cloneChildrenInto: deep copies of the sub-options, added to copy.
  void _cloneChildrenInto(COption& copy) const;
  // _lookedFor: the full tag path of path below this option, for messages.
  CTagPath _lookedFor(const CTagPath& path) const;
  // _failNoElements: raises "Cannot set a value of option %1." ("Option type
  // %1 holds no elements.", %1 the type name).
  [[noreturn]] void _failNoElements() const;
  // _failIndex: raises "Cannot access element %1 in option %2." ("Index out
  // of range.").
  [[noreturn]] void _failIndex(std::size_t index, const char* operation) const;

 private:
  // CChild: a sub-option; the same option as a host option when it is one
  // (the lookups walk those without virtual calls), else null; and its own
  // tag as it was when it was added, which the lookups compare while it is
  // stable (see _subOptionChanging).
  struct CChild {
    Ptr option;
    const CHostOptionBase* host;
    std::uint32_t tag;
    bool stable;
  };

  // _subOptionChanging: child's tag may change: its entries are no longer
  // stable.
  void _subOptionChanging(const COption& child) override;
  // _find: the first entry at or after from whose option has tag; end when
  // there is none.
  const CChild* _find(const CChild* from, const CChild* end, std::uint32_t tag) const noexcept;
  // _released: child's entries are gone; it leaves this container unless
  // another entry still holds it.
  void _released(COption& child) noexcept;

  void _dumpInto(std::string& out) const;
  // _visit: calls visit(holder) for every option below this one that
  // matches path[level..], depth first in wire order, until visit answers
  // true (and then answers true). Intermediate levels match any type; type
  // filters the last.
  template <class Visit>
  bool _visit(const CTagPath& path, std::uint64_t level, const COptionType& type,
              Visit& visit) const;

  // CTagIndex: for each of kBuckets buckets of tags, the position of the
  // first entry whose remembered tag falls into it (kNone: none), so a
  // lookup starts there instead of at the first sub-option. Kept for
  // options with at least kIndexFrom and fewer than kNone sub-options.
  struct CTagIndex {
    static constexpr std::size_t kBuckets = 64;
    static constexpr std::uint8_t kNone = 0xff;
    static std::size_t bucket(std::uint32_t tag) noexcept { return (tag * 0x9E3779B1u) >> 26; }
    std::uint8_t first[kBuckets];
  };
  static constexpr std::size_t kIndexFrom = 8;
  // _indexEntry: records entry position in the index, when there is one.
  void _indexEntry(std::size_t position) noexcept;
  // _reindex: builds the index anew (or drops it) for the entries as they
  // are.
  void _reindex();

  std::vector<CChild> children_;
  std::size_t unstable_ = 0;  // entries that are not stable
  std::unique_ptr<CTagIndex> index_;
  std::size_t wireOffset_ = 0;
  std::size_t wireLength_ = 0;
  CHexStore raw_{0};
  bool hasRaw_ = false;
  bool messageRoot_ = false;
};

}  // namespace qvt
