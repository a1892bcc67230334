#pragma once

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/forms/Form.h"

namespace kiv {

// The registry of forms: one instance per form class, created and loaded on first use, destroyed
// after it is unloaded once the user action that unloaded it has ended (so a handler may unload its
// own form and go on to its end). Forms are known by name, so that a form can open another whose
// class it does not know, and tests can put stand-ins in place of forms.
//
// A form class names itself: `static constexpr const char* FormName = "frmIo";`.
class Forms {
  public:
    using Factory = std::function<std::unique_ptr<Form>()>;

    static void registerForm(const std::string& name, Factory factory);
    template <class T>
    static void registerForm() {
        registerForm(T::FormName, [] { return std::make_unique<T>(); });
    }
    static bool isRegistered(const std::string& name);
    // The names of every form registered, in name order.
    static std::vector<std::string> registeredNames();
    static void forgetRegistrations();

    // The loaded instance of T, created and loaded (Form_Load) when there is none.
    // The form class becomes known by name too, unless a stand-in already took the name.
    template <class T>
    static T& get() {
        if (Form* existing = find(T::FormName)) return checkedCast<T>(*existing);
        if (!isRegistered(T::FormName)) registerForm<T>();
        return checkedCast<T>(load(std::make_unique<T>()));
    }
    template <class T>
    static bool isLoaded() {
        return find(T::FormName) != nullptr;
    }
    // Unloads T when it is loaded; never creates it.
    template <class T>
    static void unload() {
        if (Form* existing = find(T::FormName)) unload(*existing);
    }

    // The loaded instance of T, which the caller knows to be loaded (it showed it, or was shown by
    // it); never creates it. A form that is not loaded is a programming error (std::logic_error).
    template <class T>
    static T& loadedForm() {
        return checkedCast<T>(loadedByName(T::FormName));
    }
    // A control of another form, by the form's name and the control's: the one way a form of one
    // folder reaches a control of another. A form that is not loaded, or holds no control of that
    // name and kind, is a programming error (std::logic_error naming both), the same everywhere.
    template <class T>
    static T& control(const std::string& formName, const std::string& controlName, int index = -1) {
        Control& found = namedControl(formName, controlName, index);
        auto* typed = dynamic_cast<T*>(&found);
        if (!typed) throw missingControl(formName, controlName);
        return *typed;
    }

    // The loaded form of that name, or null.
    static Form* find(const std::string& name);
    // The loaded form of that name, created by its registered factory when needed; null when no
    // form of that name is registered.
    static Form* getByName(const std::string& name);
    // Shows a form by name. A form that is not built yet says "此功能尚未提供" and changes
    // nothing; the result tells whether the form was there to show.
    static bool showByName(const std::string& name, int modal);
    static void unload(Form& form);
    static void unloadByName(const std::string& name);
    static std::vector<Form*> loaded();
    // Drops every form without running its events (the end of a test or of the program).
    static void discardAll();

    // The form the user works in: the innermost modal form, else the last one activated.
    static Form* activeForm();

    // Used by Form and the hosts.
    static Form& load(std::unique_ptr<Form> form);
    static void formUnloaded(Form& form);
    static void setActiveForm(Form* form);
    static void pushModal(Form* form);
    static void popModal(Form* form);
    static bool isAlive(const Form* form);
    // Whether the form of that serial number is still loaded.
    static bool isAlive(uint64_t formSerial);
    // Destroys the unloaded forms, unless a handler is still running (it may be inside one).
    static void destroyUnloaded();
    static bool handlerRunning();

  private:
    static Form& loadedByName(const std::string& name);
    static Control& namedControl(const std::string& formName, const std::string& controlName,
                                 int index);
    static std::logic_error missingControl(const std::string& formName,
                                           const std::string& controlName);
    template <class T>
    static T& checkedCast(Form& form) {
        auto* typed = dynamic_cast<T*>(&form);
        if (!typed)
            throw std::logic_error("form " + form.Name() + " is not of the class asked for");
        return *typed;
    }
};

// Marks that event-handling code is running, so that unloaded forms are kept until it ends.
class HandlerScope {
  public:
    HandlerScope();
    ~HandlerScope();
    HandlerScope(const HandlerScope&) = delete;
    HandlerScope& operator=(const HandlerScope&) = delete;
};

}  // namespace kiv
