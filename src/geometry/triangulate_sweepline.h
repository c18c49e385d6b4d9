// The items crossing the triangulator's sweep line (edges or trapezoids),
// kept in their left-to-right order in a treap so that finding,
// inserting and removing one costs O(log n) however many are active.
//
// Items are addressed by handles that stay valid until erased. The order
// is only what the callers make of it: a search follows the caller's
// comparisons, so even comparisons that contradict each other (an input
// that crosses itself) lead to some position, never outside the arrays.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace modra::triangulation {

class SweepLine {
 public:
  // Empties the line; keeps the memory for the next run.
  void Clear();
  void Reserve(size_t count);
  bool Empty() const { return root_ < 0; }

  // Where `where(payload)` leads: negative = the sought place lies before
  // that item, positive = after it, 0 = this item. Returns the handle of
  // the item answering 0, or -1 with *parent/*after telling where a new
  // item would go (for InsertAt).
  template <class Where>
  int Locate(const Where& where, int* parent, bool* after) const {
    int at = root_;
    *parent = -1;
    *after = false;
    while (at >= 0) {
      const int c = where(items_[at].payload);
      if (c == 0) return at;
      *parent = at;
      *after = c > 0;
      at = *after ? items_[at].right : items_[at].left;
    }
    return -1;
  }

  // A new item where Locate said (parent -1: the line must be empty).
  int InsertAt(int parent, bool after, int payload);
  // A new item right after / right before an existing one.
  int InsertAfter(int handle, int payload);
  int InsertBefore(int handle, int payload);
  void Erase(int handle);

  // Neighbours along the line, -1 at either end.
  int Next(int handle) const;
  int Prev(int handle) const;

  int Payload(int handle) const { return items_[handle].payload; }
  // Puts another payload in an item's place (it must sort there too).
  void Replace(int handle, int payload) { items_[handle].payload = payload; }

 private:
  struct Item {
    int left, right, parent;
    uint32_t priority;
    int payload;
  };

  int NewItem(int payload, int parent);
  void RotateUp(int handle);
  void SiftUp(int handle);

  std::vector<Item> items_;
  int root_ = -1;
  int free_ = -1;
  uint32_t seed_ = 0x9E3779B9u;  // fixed: runs are reproducible
};

}  // namespace modra::triangulation
