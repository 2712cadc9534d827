#include "platform/qorObject.h"

#include <algorithm>

namespace qor {

TComponent::~TComponent() {
  // Children first, newest first, as an owner frees what it owns.
  while (!components_.empty()) {
    std::unique_ptr<TComponent> child = std::move(components_.back());
    components_.pop_back();
    child->owner_ = nullptr;
    child.reset();
  }
  std::vector<TComponent*> links;
  links.swap(notify_);
  for (TComponent* c : links) {
    auto& back = c->notify_;
    back.erase(std::remove(back.begin(), back.end(), this), back.end());
    c->Notification(this, TOperation::opRemove);
  }
}

void TComponent::InsertComponent(std::unique_ptr<TComponent> child) {
  if (!child) return;
  if (child->owner_ && child->owner_ != this) {
    // Re-parenting: the previous owner lets go without freeing.
    child->owner_->RemoveComponent(child.get()).release();
  }
  child->owner_ = this;
  components_.push_back(std::move(child));
}

std::unique_ptr<TComponent> TComponent::RemoveComponent(TComponent* child) {
  for (auto it = components_.begin(); it != components_.end(); ++it) {
    if (it->get() != child) continue;
    std::unique_ptr<TComponent> out = std::move(*it);
    components_.erase(it);
    out->owner_ = nullptr;
    return out;
  }
  return nullptr;
}

void TComponent::FreeNotification(TComponent* other) {
  if (!other || other == this) return;
  if (std::find(notify_.begin(), notify_.end(), other) == notify_.end()) notify_.push_back(other);
  auto& back = other->notify_;
  if (std::find(back.begin(), back.end(), this) == back.end()) back.push_back(this);
}

void TComponent::RemoveFreeNotification(TComponent* other) {
  if (!other) return;
  notify_.erase(std::remove(notify_.begin(), notify_.end(), other), notify_.end());
  auto& back = other->notify_;
  back.erase(std::remove(back.begin(), back.end(), this), back.end());
}

void TComponent::Notification(TComponent*, TOperation) {}

}  // namespace qor
