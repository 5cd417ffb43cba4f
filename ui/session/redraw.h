// SPDX-License-Identifier: MIT
// What moved on the playfield since the front end last looked: it repaints only that.
#pragma once

#include "game.h"

namespace velmora::ui {

class Redraw {
  public:
    explicit Redraw(const Game& game)
        : game_(game), ball_(game.shaP), paddle_(game.shaB), bricks_(game.shaX) {}

    // Calls `repaint(shape)` with the place each changed shape had and has now.
    template <typename Repaint> void changed(Repaint&& repaint) {
        check(ball_, game_.shaP, repaint);
        check(paddle_, game_.shaB, repaint);
        while (bricks_.Count() < game_.shaX.Count()) { // bricks created since: all new
            bricks_.Load(bricks_.Count());
        }
        for (Integer i = 0; i < game_.shaX.Count(); ++i) {
            check(bricks_(i), game_.shaX(i), repaint);
        }
    }

  private:
    template <typename Repaint> static void check(Shape& seen, const Shape& now, Repaint& repaint) {
        if (seen.Left != now.Left || seen.Top != now.Top || seen.Visible != now.Visible) {
            repaint(seen);
            repaint(now);
            seen = now;
        }
    }

    const Game& game_;
    // The shapes as they were when the front end last looked.
    Shape ball_;
    Shape paddle_;
    decltype(Game::shaX) bricks_;
};

} // namespace velmora::ui
