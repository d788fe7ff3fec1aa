#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace korvu::job {

// A value that tells its listeners about every change, in the order they subscribed. A write of
// the value it already holds tells nobody. When a listener raises an error, the error leaves the
// write and the listeners after it are not told.
class Observable {
 public:
  using Listener = std::function<void()>;
  using Subscription = std::size_t;

  // Adds `listener`; the subscription returned ends it.
  Subscription OnChange(Listener listener) {
    listeners_.push_back(std::move(listener));
    return listeners_.size() - 1;
  }
  // The listener of `subscription` hears no further change; the others keep their places.
  void Unsubscribe(Subscription subscription) {
    if (subscription < listeners_.size()) listeners_[subscription] = nullptr;
  }

 protected:
  void Notify() const {
    // By index: a listener may subscribe another one meanwhile.
    for (std::size_t i = 0; i < listeners_.size(); ++i)
      if (listeners_[i]) listeners_[i]();
  }

 private:
  std::vector<Listener> listeners_;
};

// A path text or free text: what the field shows.
class TextValue : public Observable {
 public:
  explicit TextValue(std::string initial = {}) : text_(std::move(initial)) {}
  const std::string& Text() const { return text_; }
  void SetText(std::string text);

 private:
  std::string text_;
};

// A number typed as text. The text is kept as shown (while typing: exactly what was typed); the
// readings come from it.
class NumberText : public Observable {
 public:
  explicit NumberText(std::string initial = "0") : text_(std::move(initial)) {}
  const std::string& Text() const { return text_; }
  std::int32_t Value() const;      // the 32-bit reading, 0 when there is none
  std::int64_t AsInteger() const;  // the 64-bit reading, the one the settings file stores

  void SetText(std::string text);     // as typed: no check, no reformatting
  void Validate();                    // the canonical text, as when the field is left
  void SetValue(std::int64_t value);  // below 0 gives 0; the text is validated

  // How many writes the value has had, also those that left the text as it was and told nobody:
  // an edit learns so of a program write it did not hear.
  std::uint64_t Writes() const { return writes_; }

 private:
  std::string text_;
  std::uint64_t writes_ = 0;
};

// A whole number that always lies within its range.
class BoundedInt : public Observable {
 public:
  BoundedInt(int min, int max, int initial) : min_(min), max_(max), value_(initial) {}
  int Value() const { return value_; }
  std::string Text() const { return std::to_string(value_); }
  int Min() const { return min_; }
  int Max() const { return max_; }

  void SetValue(std::int64_t value);  // outside the range gives the nearer limit
  void SetMax(int max);               // a value above the new maximum comes down to it

 private:
  int min_;
  int max_;
  int value_;
};

// The selected entry of a fixed list; -1 when none is selected.
class ListIndex : public Observable {
 public:
  ListIndex(std::vector<std::string> entries, int initial)
      : entries_(std::move(entries)), index_(initial) {}
  int Index() const { return index_; }
  const std::vector<std::string>& Entries() const { return entries_; }
  void SetIndex(std::int64_t index);  // a number outside the entries selects none
  // A user's choice from the open list: tells the listeners even when the entry was already
  // selected, so that everything built from the list is built again.
  void Choose(std::int64_t index);

 private:
  std::vector<std::string> entries_;
  int index_;
};

enum class CheckState { kUnchecked, kChecked, kGrayed };

// A three-state check box; grayed is not checked.
class CheckBox : public Observable {
 public:
  CheckState State() const { return state_; }
  bool Checked() const { return state_ == CheckState::kChecked; }
  void SetState(CheckState state);
  void SetChecked(bool checked) {
    SetState(checked ? CheckState::kChecked : CheckState::kUnchecked);
  }
  // A user's click: grayed and unchecked become checked, checked becomes unchecked. Only the
  // program grays the box.
  void Click() { SetChecked(!Checked()); }

 private:
  CheckState state_ = CheckState::kUnchecked;
};

class Flag : public Observable {
 public:
  bool Value() const { return value_; }
  void SetValue(bool value);
  // A user's click on its box.
  void Click() { SetValue(!value_); }

 private:
  bool value_ = false;
};

}  // namespace korvu::job
