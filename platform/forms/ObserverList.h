#pragma once

#include <vector>

namespace kiv {

// The observers of a model. An observer may detach itself while being told of a change, so
// they are told from a copy of the list.
template <class Observer>
class ObserverList {
  public:
    void add(Observer* observer) { observers_.push_back(observer); }
    void remove(Observer* observer) { std::erase(observers_, observer); }
    template <class Tell>
    void tell(const Tell& tell) const {
        auto observers = observers_;
        for (Observer* observer : observers)
            tell(*observer);
    }

  private:
    std::vector<Observer*> observers_;
};

}  // namespace kiv
