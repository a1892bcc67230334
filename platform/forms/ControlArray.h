#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace kiv {

class Form;

// Controls of one name told apart by an index (optA(0), optA(1), ...); each member's events are
// wired to one handler that receives the index first.
template <class T>
class ControlArray {
  public:
    template <class... Args>
    ControlArray(Form& form, const std::string& name, int count, Args&&... args) {
        for (int i = 0; i < count; ++i)
            members_.push_back(std::make_unique<T>(form, name, i, std::forward<Args>(args)...));
    }

    T& operator()(int index) { return *members_.at(index); }
    const T& operator()(int index) const { return *members_.at(index); }
    int Count() const { return static_cast<int>(members_.size()); }
    int UBound() const { return Count() - 1; }

    // Calls f(member) for every member, in index order.
    template <class F>
    void forEach(F&& f) {
        for (auto& member : members_)
            f(*member);
    }

  private:
    std::vector<std::unique_ptr<T>> members_;
};

}  // namespace kiv
