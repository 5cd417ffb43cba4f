// SPDX-License-Identifier: MIT
// The playfield's pieces as plain data: the ball, the paddle and the bricks are shapes,
// the bricks a control array of them. Coordinates are twips inside the playfield,
// x to the right and y downwards from its top-left corner.
#pragma once

#include "numeric.h"

#include <array>

namespace velmora {

struct Shape {
    float Left = 0;
    float Top = 0;
    float Width = 0;
    float Height = 0;
    bool Visible = true;
};

// The playfield's frame: its width and height bound the ball and the paddle.
struct Frame {
    float Width = 0;
    float Height = 0;
};

// An indexed collection of shapes that starts with element 0 and grows one element at a
// time up to a fixed capacity, so that nothing is allocated once a game is under way.
// A new element copies element 0 and stays hidden until it is placed and shown.
template <Integer Capacity> class ShapeArray {
  public:
    explicit ShapeArray(const Shape& first) { items_[0] = first; }

    // The number of elements present; only Load adds one, so every subscript check holds.
    Integer Count() const { return count_; }

    Shape& operator()(Integer index) { return items_[checkedIndex(index)]; }
    const Shape& operator()(Integer index) const { return items_[checkedIndex(index)]; }

    // Creates element `index`, which must be the next one.
    void Load(Integer index) {
        if (index >= 0 && index < count_) {
            raise(ErrorKind::ElementExists);
        }
        if (index != count_ || index >= Capacity) {
            raise(ErrorKind::SubscriptOutOfRange);
        }
        items_[static_cast<std::size_t>(index)] = items_[0];
        items_[static_cast<std::size_t>(index)].Visible = false;
        count_ = Add(count_, 1);
    }

  private:
    std::size_t checkedIndex(Integer index) const {
        if (index < 0 || index >= count_) {
            raise(ErrorKind::SubscriptOutOfRange);
        }
        return static_cast<std::size_t>(index);
    }

    Integer count_ = 1;
    std::array<Shape, static_cast<std::size_t>(Capacity)> items_{};
};

} // namespace velmora
