#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/registry.h"

namespace korvu::test {

// A registry with at most one key, that records the masks tried and counts the keys still open.
class FakeRegistry final : public platform::Registry {
 public:
  struct Value {
    platform::RegistryKind kind = platform::RegistryKind::kText;
    std::string data;  // text with its closing NUL, as a reader gets it
    bool readable = true;
  };

  // The key opens with `mask` and every mask after it in the reader's order (0 opens with none).
  void AddKey(std::string path, std::uint32_t mask = platform::kKeyRead) {
    path_ = std::move(path);
    weakest_mask_ = mask;
  }
  void SetValue(const std::string& name, Value value) { values_[name] = std::move(value); }

  std::unique_ptr<platform::RegistryKey> OpenKey(std::string_view path,
                                                 std::uint32_t access) const override {
    masks_tried_.push_back(access);
    if (!path_ || path != *path_ || weakest_mask_ == 0 || access > weakest_mask_) return nullptr;
    ++open_keys_;
    return std::make_unique<Key>(*this);
  }

  const std::vector<std::uint32_t>& masks_tried() const { return masks_tried_; }
  int open_keys() const { return open_keys_; }

 private:
  class Key final : public platform::RegistryKey {
   public:
    explicit Key(const FakeRegistry& registry) : registry_(registry) {}
    ~Key() override { --registry_.open_keys_; }
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;

    std::optional<platform::RegistryValueInfo> Query(std::string_view name) const override {
      const auto it = registry_.values_.find(std::string(name));
      if (it == registry_.values_.end()) return std::nullopt;
      return platform::RegistryValueInfo{it->second.kind, it->second.data.size()};
    }
    bool Read(std::string_view name, std::size_t size, std::string& data) const override {
      const Value& value = registry_.values_.at(std::string(name));
      if (!value.readable) return false;
      data = value.data.substr(0, size);
      return true;
    }

   private:
    const FakeRegistry& registry_;
  };

  std::optional<std::string> path_;
  std::uint32_t weakest_mask_ = 0;
  std::map<std::string, Value> values_;
  mutable std::vector<std::uint32_t> masks_tried_;
  mutable int open_keys_ = 0;
};

}  // namespace korvu::test
