// Base of the widget library's property objects: a setter stores a new value and tells the
// owner through OnChange; BeginUpdate/EndUpdate gather several changes into one notification.
#pragma once

#include "widgets/VrControlsTypes.h"

#include <QObject>

#include <cstdint>

class TVrPersistent : public QObject
{
    Q_OBJECT

public:
    explicit TVrPersistent(QObject* parent = nullptr) : QObject(parent) {}

    // Copies Source's properties when it is of this class; this base refuses every source.
    virtual void Assign(const TVrPersistent* Source);

    void BeginUpdate();
    // Never drives the counter below 0; notifies once the outermost bracket is closed.
    void EndUpdate();
    std::int32_t UpdateCount() const { return FUpdateCount; }

    TNotifyEvent OnChange;

protected:
    void Changed();

    // The common setter: store and notify only when the value differs.
    template <typename T>
    void SetField(T& field, const T& value)
    {
        if (field == value)
            return;
        field = value;
        Changed();
    }

    // Runs Action inside BeginUpdate/EndUpdate; the closing EndUpdate runs even if Action throws.
    template <typename F>
    void Batch(F&& Action)
    {
        BeginUpdate();
        try {
            Action();
        } catch (...) {
            EndUpdate();
            throw;
        }
        EndUpdate();
    }

    // Assign of a class that copies a source of its own class (or a descendant) through its
    // setters: Copy runs inside one bracket, so the owner hears of it exactly once.
    template <typename C, typename F>
    void AssignFrom(const TVrPersistent* Source, F&& Copy)
    {
        const auto* source = dynamic_cast<const C*>(Source);
        if (!source)
            AssignError(Source);
        Batch([&] { Copy(*source); });
    }

    // Raises the generic assignment error for Source.
    [[noreturn]] void AssignError(const TVrPersistent* Source) const;

private:
    std::int32_t FUpdateCount = 0;
};
