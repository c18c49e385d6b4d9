#include "geometry/triangulate_sweepline.h"

namespace modra::triangulation {

void SweepLine::Clear() {
  items_.clear();
  root_ = -1;
  free_ = -1;
  seed_ = 0x9E3779B9u;
}

void SweepLine::Reserve(size_t count) {
  items_.reserve(count);
}

int SweepLine::NewItem(int payload, int parent) {
  // xorshift32: priorities only need to look random to keep the tree flat
  seed_ ^= seed_ << 13;
  seed_ ^= seed_ >> 17;
  seed_ ^= seed_ << 5;
  int handle;
  if (free_ >= 0) {
    handle = free_;
    free_ = items_[handle].right;
  } else {
    handle = static_cast<int>(items_.size());
    items_.push_back({});
  }
  items_[handle] = {-1, -1, parent, seed_, payload};
  return handle;
}

// Lifts `handle` above its parent, keeping the in-order sequence.
void SweepLine::RotateUp(int handle) {
  Item& x = items_[handle];
  const int p = x.parent;
  Item& parent = items_[p];
  const int g = parent.parent;
  if (parent.left == handle) {
    parent.left = x.right;
    if (x.right >= 0) items_[x.right].parent = p;
    x.right = p;
  } else {
    parent.right = x.left;
    if (x.left >= 0) items_[x.left].parent = p;
    x.left = p;
  }
  parent.parent = handle;
  x.parent = g;
  if (g < 0) {
    root_ = handle;
  } else if (items_[g].left == p) {
    items_[g].left = handle;
  } else {
    items_[g].right = handle;
  }
}

void SweepLine::SiftUp(int handle) {
  while (items_[handle].parent >= 0 &&
         items_[handle].priority > items_[items_[handle].parent].priority)
    RotateUp(handle);
}

int SweepLine::InsertAt(int parent, bool after, int payload) {
  if (parent < 0) {
    // only valid on an empty line; otherwise keep the tree whole by
    // putting the item first
    if (root_ < 0) {
      root_ = NewItem(payload, -1);
      return root_;
    }
    int first = root_;
    while (items_[first].left >= 0)
      first = items_[first].left;
    return InsertBefore(first, payload);
  }
  if ((after ? items_[parent].right : items_[parent].left) >= 0)
    return after ? InsertAfter(parent, payload) : InsertBefore(parent, payload);
  const int handle = NewItem(payload, parent);
  (after ? items_[parent].right : items_[parent].left) = handle;
  SiftUp(handle);
  return handle;
}

int SweepLine::InsertAfter(int handle, int payload) {
  int at = items_[handle].right;
  if (at < 0) {
    const int item = NewItem(payload, handle);
    items_[handle].right = item;
    SiftUp(item);
    return item;
  }
  while (items_[at].left >= 0)
    at = items_[at].left;
  const int item = NewItem(payload, at);
  items_[at].left = item;
  SiftUp(item);
  return item;
}

int SweepLine::InsertBefore(int handle, int payload) {
  int at = items_[handle].left;
  if (at < 0) {
    const int item = NewItem(payload, handle);
    items_[handle].left = item;
    SiftUp(item);
    return item;
  }
  while (items_[at].right >= 0)
    at = items_[at].right;
  const int item = NewItem(payload, at);
  items_[at].right = item;
  SiftUp(item);
  return item;
}

void SweepLine::Erase(int handle) {
  // sink the item to a leaf under its heavier child, then cut it off
  for (;;) {
    const Item& x = items_[handle];
    if (x.left < 0 && x.right < 0) break;
    int child;
    if (x.left < 0) {
      child = x.right;
    } else if (x.right < 0) {
      child = x.left;
    } else {
      child = items_[x.left].priority > items_[x.right].priority ? x.left : x.right;
    }
    RotateUp(child);
  }
  const int p = items_[handle].parent;
  if (p < 0) {
    root_ = -1;
  } else if (items_[p].left == handle) {
    items_[p].left = -1;
  } else {
    items_[p].right = -1;
  }
  items_[handle].parent = -1;
  items_[handle].right = free_;
  free_ = handle;
}

int SweepLine::Next(int handle) const {
  int at = items_[handle].right;
  if (at >= 0) {
    while (items_[at].left >= 0)
      at = items_[at].left;
    return at;
  }
  at = handle;
  int p = items_[at].parent;
  while (p >= 0 && items_[p].right == at) {
    at = p;
    p = items_[p].parent;
  }
  return p;
}

int SweepLine::Prev(int handle) const {
  int at = items_[handle].left;
  if (at >= 0) {
    while (items_[at].right >= 0)
      at = items_[at].right;
    return at;
  }
  at = handle;
  int p = items_[at].parent;
  while (p >= 0 && items_[p].left == at) {
    at = p;
    p = items_[p].parent;
  }
  return p;
}

}  // namespace modra::triangulation
