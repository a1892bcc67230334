#include "platform/forms/Forms.h"

#include <algorithm>
#include <map>

#include "platform/forms/Host.h"

namespace kiv {

namespace {

struct Registry {
    std::map<std::string, Forms::Factory> factories;
    std::vector<std::unique_ptr<Form>> loaded;
    // Unloaded forms wait here until no handler runs, since a handler may still be inside one.
    std::vector<std::unique_ptr<Form>> unloaded;
    std::vector<Form*> modalStack;
    Form* active = nullptr;
    int handlerDepth = 0;
};

Registry& registry() {
    static Registry r;
    return r;
}

}  // namespace

HandlerScope::HandlerScope() {
    ++registry().handlerDepth;
}

HandlerScope::~HandlerScope() {
    --registry().handlerDepth;
}

bool Forms::handlerRunning() {
    return registry().handlerDepth > 0;
}

void Forms::destroyUnloaded() {
    if (handlerRunning()) return;
    // Destroying a form may run code that unloads another; take the list first.
    while (!registry().unloaded.empty()) {
        auto forms = std::move(registry().unloaded);
        registry().unloaded.clear();
        forms.clear();
    }
}

void Forms::registerForm(const std::string& name, Factory factory) {
    registry().factories[name] = std::move(factory);
}

bool Forms::isRegistered(const std::string& name) {
    return registry().factories.count(name) > 0;
}

std::vector<std::string> Forms::registeredNames() {
    std::vector<std::string> names;
    for (const auto& [name, factory] : registry().factories)
        names.push_back(name);
    return names;
}

void Forms::forgetRegistrations() {
    registry().factories.clear();
}

Form* Forms::find(const std::string& name) {
    for (auto& form : registry().loaded)
        if (form->Name() == name) return form.get();
    return nullptr;
}

Form& Forms::loadedByName(const std::string& name) {
    Form* form = find(name);
    if (!form) throw std::logic_error("表單 " + name + " 未開啟");
    return *form;
}

Control& Forms::namedControl(const std::string& formName, const std::string& controlName,
                             int index) {
    Control* control = loadedByName(formName).FindControl(controlName, index);
    if (!control) throw missingControl(formName, controlName);
    return *control;
}

std::logic_error Forms::missingControl(const std::string& formName,
                                       const std::string& controlName) {
    return std::logic_error("表單 " + formName + " 沒有控制項 " + controlName);
}

Form* Forms::getByName(const std::string& name) {
    if (Form* existing = find(name)) return existing;
    auto factory = registry().factories.find(name);
    if (factory == registry().factories.end()) return nullptr;
    return &load(factory->second());
}

bool Forms::showByName(const std::string& name, int modal) {
    HandlerScope scope;
    Form* form = getByName(name);
    if (!form) {
        messageBox("此功能尚未提供", 64, ApplicationTitle);
        return false;
    }
    form->Show(modal);
    return true;
}

Form& Forms::load(std::unique_ptr<Form> form) {
    HandlerScope scope;
    Form& loadedForm = *form;
    registry().loaded.push_back(std::move(form));
    if (hasHost()) host().formLoaded(loadedForm);
    try {
        loadedForm.Form_Load();
    } catch (...) {
        // A form whose Load failed is not left half loaded.
        if (!loadedForm.IsUnloaded()) {
            loadedForm.markUnloaded();
            formUnloaded(loadedForm);
        }
        throw;
    }
    return loadedForm;
}

void Forms::unload(Form& form) {
    HandlerScope scope;
    if (form.IsUnloaded()) return;
    if (form.tryUnload(UnloadByCode)) formUnloaded(form);
}

void Forms::unloadByName(const std::string& name) {
    if (Form* form = find(name)) unload(*form);
}

void Forms::formUnloaded(Form& form) {
    Registry& r = registry();
    auto it = std::find_if(r.loaded.begin(), r.loaded.end(),
                           [&](const std::unique_ptr<Form>& f) { return f.get() == &form; });
    if (it == r.loaded.end()) return;
    auto owned = std::move(*it);
    r.loaded.erase(it);
    r.modalStack.erase(std::remove(r.modalStack.begin(), r.modalStack.end(), &form),
                       r.modalStack.end());
    if (r.active == &form) r.active = r.modalStack.empty() ? nullptr : r.modalStack.back();
    if (hasHost()) host().formUnloaded(form);
    r.unloaded.push_back(std::move(owned));
}

std::vector<Form*> Forms::loaded() {
    std::vector<Form*> forms;
    for (auto& form : registry().loaded)
        forms.push_back(form.get());
    return forms;
}

void Forms::discardAll() {
    Registry& r = registry();
    while (!r.loaded.empty()) {
        auto form = std::move(r.loaded.back());
        r.loaded.pop_back();
        form->markUnloaded();
        if (hasHost()) host().formUnloaded(*form);
        r.unloaded.push_back(std::move(form));
    }
    r.modalStack.clear();
    r.active = nullptr;
    destroyUnloaded();
}

Form* Forms::activeForm() {
    Registry& r = registry();
    return r.modalStack.empty() ? r.active : r.modalStack.back();
}

void Forms::setActiveForm(Form* form) {
    registry().active = form;
}

void Forms::pushModal(Form* form) {
    registry().modalStack.push_back(form);
}

void Forms::popModal(Form* form) {
    auto& stack = registry().modalStack;
    stack.erase(std::remove(stack.begin(), stack.end(), form), stack.end());
}

bool Forms::isAlive(const Form* form) {
    for (auto& f : registry().loaded)
        if (f.get() == form) return true;
    return false;
}

bool Forms::isAlive(uint64_t formSerial) {
    for (auto& f : registry().loaded)
        if (f->Serial() == formSerial) return true;
    return false;
}

}  // namespace kiv
