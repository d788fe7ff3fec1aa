#pragma once

#include <functional>
#include <optional>
#include <utility>

#include "job/values.h"

namespace korvu::form {

// How every field of both front ends follows its job value: Follow shows the value on the control
// now and after each of its changes; whatever the control announces while the program writes to
// it (showing the value, or a write in Quietly) is no edit of the user's, which Quiet tells; the
// subscription ends with the binding, which the field owns, since the job outlives the window.
class Binding {
 public:
  Binding() = default;
  Binding(const Binding&) = delete;
  Binding& operator=(const Binding&) = delete;
  ~Binding() {
    if (value_ != nullptr) value_->Unsubscribe(*subscription_);
  }

  // Once per binding.
  void Follow(job::Observable& value, std::function<void()> show) {
    value_ = &value;
    show_ = std::move(show);
    Show();
    subscription_ = value.OnChange([this] { Show(); });
  }

  // Runs a program write of the control's text or choice.
  template <typename Write>
  void Quietly(Write&& write) {
    ++quiet_;
    const struct Loud {
      int& quiet;
      ~Loud() { --quiet; }
    } loud{quiet_};
    std::forward<Write>(write)();
  }
  // Whether the control's notifications come from a program write.
  bool Quiet() const { return quiet_ > 0; }

 private:
  void Show() { Quietly(show_); }

  job::Observable* value_ = nullptr;
  std::optional<job::Observable::Subscription> subscription_;
  std::function<void()> show_;
  int quiet_ = 0;
};

}  // namespace korvu::form
