// Root object, component base and the platform exception.
//
// Ownership convention: owned objects are held by std::unique_ptr; links to
// objects owned elsewhere are plain pointers, cleared through free
// notification when the target goes away. A component owned by another is
// handed over with TComponent::Own and destroyed with its owner.
#pragma once

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace qor {

// The one exception type of the platform layers (client libraries, files).
// The library itself reports through error events instead of raising.
class EQorError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class TObject {
 public:
  TObject() = default;
  TObject(const TObject&) = delete;
  TObject& operator=(const TObject&) = delete;
  virtual ~TObject() = default;
  // The class name as the system's texts print it ("TTblData", ...).
  virtual const char* ClassName() const { return "TObject"; }
};

enum class TOperation : std::uint8_t { opInsert, opRemove };

class TComponent : public TObject {
 public:
  TComponent() = default;
  ~TComponent() override;
  const char* ClassName() const override { return "TComponent"; }

  TComponent* Owner() const { return owner_; }
  const std::string& Name() const { return name_; }
  void SetName(std::string name) { name_ = std::move(name); }

  // Takes ownership of `child`; the child is destroyed with this component.
  template <class T>
  T* Own(std::unique_ptr<T> child) {
    T* raw = child.get();
    InsertComponent(std::unique_ptr<TComponent>(child.release()));
    return raw;
  }
  // Gives an owned child back to the caller.
  std::unique_ptr<TComponent> RemoveComponent(TComponent* child);
  int ComponentCount() const { return static_cast<int>(components_.size()); }
  TComponent* Component(int i) const { return components_[static_cast<std::size_t>(i)].get(); }

  // After this call `other` gets Notification(this, opRemove) when this
  // component is destroyed, and vice versa.
  void FreeNotification(TComponent* other);
  void RemoveFreeNotification(TComponent* other);

 protected:
  // Called when a linked component goes away; clear pointers to it here.
  virtual void Notification(TComponent* component, TOperation operation);

 private:
  void InsertComponent(std::unique_ptr<TComponent> child);

  TComponent* owner_ = nullptr;
  std::string name_;
  std::vector<std::unique_ptr<TComponent>> components_;
  std::vector<TComponent*> notify_;
};

}  // namespace qor
