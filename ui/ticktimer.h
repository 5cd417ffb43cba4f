// The game's timer. A tick comes every requested interval, but never more often than the
// desktop timer this game was tuned on could deliver: 64 a second. The ball's speeds, 20
// to 200 twips a tick, assume that rate. Ticks follow a fixed schedule from the start, so
// late ticks do not add up to drift; one that is missed altogether is skipped, not
// delivered twice.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <chrono>
#include <cstdint>

namespace velmora::ui {

class TickTimer : public QObject {
    Q_OBJECT

  public:
    static constexpr std::chrono::nanoseconds resolution{15'625'000}; // 1/64 s

    explicit TickTimer(QObject* parent = nullptr);

    // Starts ticking every max(interval, resolution); an interval of 0 or less stops it.
    void start(int intervalMs);
    void stop();
    bool isActive() const { return active_; }

  signals:
    void timeout();

  private:
    void fire();
    void waitForNextTick();

    QTimer wakeUp_;
    QElapsedTimer clock_;
    std::chrono::nanoseconds period_{resolution};
    std::int64_t nextTick_ = 1; // ticks are numbered from the start; tick n is due at n periods
    bool active_ = false;
};

} // namespace velmora::ui
