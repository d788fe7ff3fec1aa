#pragma once

#include <functional>
#include <optional>
#include <type_traits>
#include <utility>

#include "app/form/guard.h"
#include "job/values.h"

namespace korvu::form {

// How every field of both front ends follows its job value through its edit: Follow shows the
// value on the control now and after each of its changes; whatever the control announces while the
// program writes to it (showing the value, or a write in Quietly) is no edit of the user's, which
// Take passes over. The subscription ends with the binding, which the field owns, since the job
// outlives the window.
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

  // A change the control announces, unless the program wrote it: `take` hands the user's text or
  // choice to the field's edit under the guard, and `show` shows the value again, quietly: when
  // `take` answers that it must (the edit cut the text), or always when it answers nothing, so that
  // the control shows the value also when a listener failed.
  template <typename Step, typename Redraw>
  void Take(Step&& take, Redraw&& show) {
    if (Quiet()) return;
    bool again = true;
    if constexpr (std::is_void_v<std::invoke_result_t<Step>>) {
      app::Guarded(take);
    } else {
      app::Guarded([&] { again = take(); });
    }
    if (again) Quietly(std::forward<Redraw>(show));
  }
  // The same, the control left as the user made it.
  template <typename Step>
  void Take(Step&& take) {
    if (!Quiet()) app::Guarded(take);
  }

  // Writes `wanted` quietly to a control that shows `shown`, when the two differ; whether it did.
  template <typename Text, typename Write>
  bool ShowText(const Text& shown, const Text& wanted, Write&& write) {
    if (shown == wanted) return false;
    Quietly([&] { write(wanted); });
    return true;
  }

 private:
  void Show() { Quietly(show_); }

  job::Observable* value_ = nullptr;
  std::optional<job::Observable::Subscription> subscription_;
  std::function<void()> show_;
  int quiet_ = 0;
};

}  // namespace korvu::form
