// COption: one option of a DHCP message, as the evaluators read it.
//
// An option carries its definition (COptionAttributes), a non-owning pointer
// to the option that encloses it, an opaque context value, a list of elements
// and, for encapsulating options and the message root, an ordered list of
// sub-options. Options are addressed by tag paths relative to the option that
// is asked: on a message root, 82/1 is sub-option 1 of option 82.
//
//   CGeneralPtr<COption> root = ...;                 // built by the host
//   if (root->contains(CTagPath("82/1"), COptionType(), 0)) {
//     CGeneralPtr<COption> circuit = root->get(CTagPath("82/1"), COptionType(), 0);
//     circuit->storage<CHexStore>()[0];              // the first element
//   }
//
// Concrete options are host classes that are at the same time a std::vector
// of their element type (see storage()). Sub-options are kept in wire order;
// a tag may repeat. An option at the top level of a message has no parent: the
// message root holds it, but full tag paths start at the top-level option.
//
// An option either keeps a definition of its own or reads a shared one in
// place (a dictionary's, for every option a decoder makes), which costs no
// copy; asking for the attributes to change (the non-const attributes(),
// setAttributes) first gives the option a copy of its own.
//
// Lookup rules shared by every implementation:
// - type "unknown" (code 19) matches options of any type; any other type
//   matches only options whose definition has that type;
// - the selector is reserved for the host and ignored by the lookups;
// - with several options along the path (repeated tags), the matches are
//   numbered depth-first in wire order from 0; instance -1 means the first.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "class_a/standard/CGeneralPtr.h"
#include "class_a/standard/CObject.h"
#include "class_b/dhcp/dhcp_base/COptionAttributes.h"
#include "class_b/dhcp/dhcp_base/COptionType.h"
#include "class_b/dhcp/dhcp_base/CTagPath.h"

namespace qvt {

class CEndpoint;
class CExpression;
class CHexStore;
class CIPAddress;
class CTimeT;
class CVariant;

class COption : public CObject {
 public:
  using Ptr = CGeneralPtr<COption>;
  using List = std::vector<Ptr>;

  // COption(context, ownTag, parent): attributes with the one-element tag
  // path ownTag and otherwise default; parent is not owned.
  COption(std::uint64_t context, std::uint32_t ownTag, COption* parent);
  // COption(attributes, parent, context): a copy of the given definition.
  COption(const COptionAttributes& attributes, COption* parent, std::uint64_t context = 0);
  // CSharedDefinition: a definition an option reads in place.
  struct CSharedDefinition {
    const COptionAttributes* definition;
  };
  // COption(shared, parent, context): reads shared.definition, which is not
  // copied: it must not change, and must outlive the option (as a
  // dictionary's definitions do).
  COption(CSharedDefinition shared, COption* parent, std::uint64_t context = 0);
  // Copies attributes (a shared definition stays shared), parent and context
  // (not elements or sub-options).
  COption(const COption& other);
  COption& operator=(const COption& other);
  ~COption() override;

  // (CObject) typeName, string(text), string(), fromString, toString: the
  // text form of the elements is left to the concrete option.

  // setContext, context: the host's opaque value, not interpreted here.
  virtual void setContext(std::uint64_t context) { context_ = context; }
  virtual std::uint64_t context() const { return context_; }

  // ---- Four operations every concrete option provides.

  // clone: a deep copy (elements and sub-options) without a parent.
  virtual Ptr clone() const = 0;
  // clear: removes every element; sub-options stay.
  virtual void clear() = 0;
  // addValue: appends one element converted from value to the element type.
  // Raises the variant's conversion errors, or "Cannot set a value of option
  // %1." ("Option type %1 holds no elements.") for types without elements.
  virtual void addValue(const CVariant& value) = 0;
  // setValue: replaces element index. Raises as addValue, and
  // "Cannot access element %1 in option %2." ("Index out of range.").
  virtual void setValue(std::size_t index, const CVariant& value) = 0;

  // ---- Six operations with empty answers unless overridden.

  // childCount: the number of sub-options.
  virtual std::size_t childCount() const { return 0; }
  // child: sub-option index in wire order (null when index is too large).
  virtual Ptr child(std::size_t index) const {
    (void)index;
    return Ptr();
  }
  // wireOffset: offset in the packet of the option's first byte (its tag),
  // when the option was decoded from a packet; 0 otherwise.
  virtual std::size_t wireOffset() const { return 0; }
  // wireLength: length of the option's data on the wire (without tag and
  // length fields); 0 when not decoded from a packet.
  virtual std::size_t wireLength() const { return 0; }
  // raw: the data bytes the option was decoded from, or null when not kept.
  virtual const CHexStore* raw() const { return nullptr; }
  // count: the number of elements.
  virtual std::size_t count() const { return 0; }

  // setWireSpan: records where the option was found in its packet (see
  // wireOffset, wireLength); ignored unless overridden.
  virtual void setWireSpan(std::size_t offset, std::size_t length) {
    (void)offset;
    (void)length;
  }

  // ---- Twelve lookup and tree operations every concrete option provides.
  // Paths are relative to this option; see the lookup rules above.

  // contains: true when an option of type exists at path.
  virtual bool contains(const CTagPath& path, const COptionType& type,
                        std::uint32_t selector) const = 0;
  // instances: how many options of type exist at path (every instance of
  // every level).
  virtual std::size_t instances(const CTagPath& path, const COptionType& type,
                                std::uint32_t selector) const = 0;
  // find: the option at path (instance numbered as above, -1 the first),
  // or null; no reference count is taken, the pointer lives as long as the
  // option that holds it.
  virtual COption* find(const CTagPath& path, std::int32_t instance, const COptionType& type,
                        std::uint32_t selector) const = 0;
  // getAll: appends every option of type at path to holders, in match order.
  virtual void getAll(const CTagPath& path, List& holders, const COptionType& type,
                      std::uint32_t selector) const = 0;
  // addChild: appends child as the last sub-option and makes this option its
  // parent (a message root leaves top-level options without parent). Raises
  // "Cannot add a sub-option to option %1." ("The sub-option is null.").
  virtual void addChild(const Ptr& child) = 0;
  // fill: puts the option at path (instance as for find) into holder, or
  // leaves holder empty when there is none.
  virtual void fill(const CTagPath& path, Ptr& holder, std::int32_t instance,
                    const COptionType& type, std::uint32_t selector) const = 0;
  // get: the first option of type at path. Raises "Cannot find option %1."
  // ("Option does not exist.", operation "COption::get") with %1 the full tag
  // path that was looked for.
  virtual Ptr get(const CTagPath& path, const COptionType& type, std::uint32_t selector) const = 0;
  // tryGet: as get, but answers false (holder emptied) instead of raising.
  virtual bool tryGet(const CTagPath& path, Ptr& holder, const COptionType& type,
                      std::uint32_t selector) const = 0;
  // remove: removes every option of type at path; returns how many.
  virtual std::size_t remove(const CTagPath& path, const COptionType& type,
                             std::uint32_t selector) = 0;
  // clearChildren: removes every sub-option.
  virtual void clearChildren() = 0;
  // insert: appends option as the last sub-option of the first option at
  // parentPath (an empty path: this option). Raises as get when parentPath
  // does not exist, and as addChild.
  virtual void insert(const CTagPath& parentPath, const Ptr& option) = 0;
  // equals: same type, own tag, elements and (recursively) sub-options.
  virtual bool equals(const COption& other) const = 0;

  // dump: a readable multi-line rendering of the option and its sub-options;
  // empty unless overridden.
  virtual std::string dump() const { return std::string(); }

  // ---- Keeping containers informed.

  // _subOptionChanging: called on the option that holds child (see
  // _setContainer) when child's tag or type may change from now on: its
  // attributes are handed out for changing or replaced. Does nothing unless
  // overridden; an implementation that remembers its sub-options' tags
  // stops relying on what it remembered of child.
  virtual void _subOptionChanging(const COption& child) { (void)child; }

  // ---- Data.

  const COptionAttributes& attributes() const { return *definition_; }
  // attributes (non-const): the option's own definition, copied from a
  // shared one first; it may be changed through the reference.
  COptionAttributes& attributes();
  // setAttributes: the option's own definition becomes a copy of attributes.
  void setAttributes(const COptionAttributes& attributes);
  // type: the definition's option type.
  const COptionType& type() const { return definition_->type(); }
  // typeCode: type().code(), read without a call while the definition
  // cannot have changed since the option was made.
  std::uint32_t typeCode() const { return exposed_ ? definition_->type().code() : typeCode_; }

  // parent: the enclosing option, or null at the top level of a message.
  COption* parent() const { return parent_; }
  void setParent(COption* parent) { parent_ = parent; }

  // ownTag: the last element of the definition's tag path (0xffffffff for an
  // empty path).
  std::uint32_t ownTag() const { return exposed_ ? _tagOf(*definition_) : ownTag_; }
  // fullTagPath: the own tags from the outermost ancestor down to this
  // option.
  CTagPath fullTagPath() const;

  // operator<: options order by their own tags.
  bool operator<(const COption& other) const { return ownTag() < other.ownTag(); }

  // storage: the option's elements as the vector the concrete option is.
  // Raises "Cannot access storage for option %1." ("Option is not of the
  // implied type.") when the option is not a std::vector<T>.
  template <class T>
  std::vector<T>& storage() {
    std::vector<T>* elements = _registered<T>();
    if (elements == nullptr) elements = dynamic_cast<std::vector<T>*>(this);
    if (elements == nullptr) _failStorage();
    return *elements;
  }
  template <class T>
  const std::vector<T>& storage() const {
    return const_cast<COption*>(this)->storage<T>();
  }

  // CElementKind: the element types of the concrete options (see storage).
  enum class CElementKind : std::uint8_t {
    kNone,
    kUInt8,
    kUInt16,
    kUInt32,
    kUInt64,
    kHexStore,
    kString,
    kIPAddress,
    kEndpoint,
    kTime,
    kBoolean,
    kExpression,
  };
  // elementKindOf: the kind of element type T; kNone for any other type.
  template <class T>
  static constexpr CElementKind elementKindOf() {
    if constexpr (std::is_same_v<T, std::uint8_t>) return CElementKind::kUInt8;
    if constexpr (std::is_same_v<T, std::uint16_t>) return CElementKind::kUInt16;
    if constexpr (std::is_same_v<T, std::uint32_t>) return CElementKind::kUInt32;
    if constexpr (std::is_same_v<T, std::uint64_t>) return CElementKind::kUInt64;
    if constexpr (std::is_same_v<T, CHexStore>) return CElementKind::kHexStore;
    if constexpr (std::is_same_v<T, std::string>) return CElementKind::kString;
    if constexpr (std::is_same_v<T, CIPAddress>) return CElementKind::kIPAddress;
    if constexpr (std::is_same_v<T, CEndpoint>) return CElementKind::kEndpoint;
    if constexpr (std::is_same_v<T, CTimeT>) return CElementKind::kTime;
    if constexpr (std::is_same_v<T, bool>) return CElementKind::kBoolean;
    if constexpr (std::is_same_v<T, CExpression>) return CElementKind::kExpression;
    return CElementKind::kNone;
  }

 protected:
  // _setContainer: container (not owned) holds child and is told through
  // _subOptionChanging when child's definition may change. An option that
  // already has another container tells that one first: with two
  // containers, the earlier one hears of no later change.
  static void _setContainer(COption& child, COption& container);
  // _leaveContainer: container no longer holds child (nothing changes when
  // child has another container by now).
  static void _leaveContainer(COption& child, const COption& container) noexcept {
    if (child.container_ == &container) child.container_ = nullptr;
  }
  // _setFamily, _familyOf: a tag a family of concrete options (the host's,
  // for one) sets on its options so that it recognises them without a
  // dynamic_cast; null unless set. Copies do not inherit it.
  void _setFamily(const void* family) noexcept { family_ = family; }
  static const void* _familyOf(const COption& option) noexcept { return option.family_; }
  // _mayChange: child's attributes have been handed out for changing, so
  // its tag and type may change at any time without notice.
  static bool _mayChange(const COption& child) noexcept { return child.exposed_; }

  // _registerStorage: elements is this option as the std::vector<T> it is,
  // so that storage<T> finds it without a cast across the class hierarchy.
  // A concrete option that does not register is found by dynamic_cast.
  template <class T>
  void _registerStorage(std::vector<T>* elements) noexcept {
    storageKind_ = elementKindOf<T>();
    storage_ = elements;
  }

  // _failMissing: raises "Cannot find option %1." ("Option does not
  // exist.") for the full tag path lookedFor, naming operation.
  [[noreturn]] void _failMissing(const CTagPath& lookedFor, const char* operation) const;
  // _failStorage: raises the error of storage.
  [[noreturn]] void _failStorage() const;

 private:
  template <class T>
  std::vector<T>* _registered() const noexcept {
    constexpr CElementKind kind = elementKindOf<T>();
    if (kind == CElementKind::kNone || storageKind_ != kind) return nullptr;
    return static_cast<std::vector<T>*>(storage_);
  }
  static std::uint32_t _tagOf(const COptionAttributes& attributes);
  // _use: reads definition; caches its tag and type while it is not exposed.
  void _use(const COptionAttributes* definition) noexcept;
  // _changing: tells the container that the definition may change.
  void _changing();

  const COptionAttributes* definition_;     // own_ or a shared definition
  std::unique_ptr<COptionAttributes> own_;  // the option's own definition
  COption* parent_ = nullptr;
  COption* container_ = nullptr;  // see _setContainer
  const void* family_ = nullptr;  // see _setFamily
  std::uint64_t context_ = 0;
  void* storage_ = nullptr;  // the registered element vector
  std::uint32_t ownTag_ = 0xffffffffu;
  std::uint32_t typeCode_ = COptionType::eUnknown;
  CElementKind storageKind_ = CElementKind::kNone;
  // exposed_: the own definition was handed out for changing, so the cached
  // tag and type may be stale and are read from the definition instead.
  bool exposed_ = false;
};

}  // namespace qvt
