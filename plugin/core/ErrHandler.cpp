#include "core/ErrHandler.h"

namespace qel::ErrTrap {

Case& Case::show() {
    showing_ = Showing::Show;
    title_.reset();
    return *this;
}

Case& Case::show(const QString& title) {
    showing_ = Showing::Show;
    title_ = title;
    return *this;
}

Case& Case::ask() {
    showing_ = Showing::Ask;
    title_.reset();
    return *this;
}

Case& Case::ask(const QString& title) {
    showing_ = Showing::Ask;
    title_ = title;
    return *this;
}

Case& Case::absorb() {
    ending_ = Ending::Absorb;
    return *this;
}

Case& Case::passOn() {
    ending_ = Ending::PassOn;
    return *this;
}

Case& Case::raise(int32_t number) {
    ending_ = Ending::Raise;
    raise_ = number;
    return *this;
}

Case& Case::then(std::function<void(const PluginError&)> action) {
    ending_ = Ending::Then;
    action_ = std::move(action);
    return *this;
}

bool Case::matches(int32_t code) const {
    if (any_) return true;
    for (int32_t n : numbers_) {
        if (n == code) return true;
    }
    return false;
}

Case On(std::initializer_list<int32_t> numbers) {
    Case c;
    c.numbers_.assign(numbers.begin(), numbers.end());
    return c;
}

Case Otherwise() {
    Case c;
    c.any_ = true;
    return c;
}

Handler::Handler(QString location, std::initializer_list<Case> cases)
    : location_(std::move(location)), cases_(cases) {
    cases_.push_back(On(ErrSYS_Local).show().absorb());
    cases_.push_back(Otherwise().show().passOn());
}

const Case& Handler::select(int32_t code) const {
    for (const Case& c : cases_) {
        if (c.matches(code)) return c;
    }
    return cases_.back();  // never reached: the last case takes everything
}

Handler::Outcome Handler::handle(std::exception_ptr error) const {
    const int32_t code = ErrCode(error);
    // Kept here: a message box runs window events, and a handler that runs meanwhile
    // overwrites the module's saved error.
    PluginError saved = SavedError();
    const Case& c = select(code);
    const QString title = c.title_.value_or(location_);

    if (c.showing_ == Case::Showing::Ask) {
        if (ErrAsk(title)) return {Decision::Retry, {}};
        saved.markShown();
    } else if (c.showing_ == Case::Showing::Show && !saved.shown()) {
        ErrShow(title, false);
        saved.markShown();
    }

    switch (c.ending_) {
        case Case::Ending::Absorb:
            return {Decision::Absorb, {}};
        case Case::Ending::PassOn:
            return {Decision::Escape, std::make_exception_ptr(saved)};
        case Case::Ending::Raise:
            try {
                ErrRaise(c.raise_);
            } catch (...) {
                return {Decision::Escape, std::current_exception()};
            }
        case Case::Ending::Then:
            try {
                c.action_(saved);
            } catch (...) {
                return {Decision::Escape, std::current_exception()};
            }
            return {Decision::Absorb, {}};
    }
    return {Decision::Escape, std::make_exception_ptr(saved)};
}

void Handler::stepOutsideRun() const {
    throw RunTimeError(
        kErrInternal,
        QStringLiteral("A guarded step of %1 ran outside its handler").arg(location_));
}

void Handler::showEscaped(std::exception_ptr error, const QString& location) noexcept {
    try {
        ErrCode(error);
        if (!SavedError().shown()) ErrShow(location, false);
    } catch (...) {
        // Showing failed too: there is nobody left to tell.
    }
}

}  // namespace qel::ErrTrap
