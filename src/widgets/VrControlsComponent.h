// Non-visual components of the widget library: a shared component tells the change links
// registered with it whenever it changes.
#pragma once

#include "widgets/VrControlsTypes.h"

#include <QObject>

#include <vector>

class TVrComponent : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString Version READ Version STORED false)

public:
    explicit TVrComponent(QObject* AOwner = nullptr);
    QString Version() const { return FVersion; }

private:
    QString FVersion;
};

class TVrChangeLink;

class TVrSharedComponent : public TVrComponent
{
    Q_OBJECT

public:
    explicit TVrSharedComponent(QObject* AOwner = nullptr);
    // Destroying the component leaves its links alive, with no sender.
    ~TVrSharedComponent() override;

    // A link belongs to one component at a time: it leaves its previous one first, and a link
    // already listed here is not listed again.
    void InsertLink(TVrChangeLink* Link);
    void RemoveLink(TVrChangeLink* Link);
    // Calls Change on every link in list order; a handler must not add or remove links.
    void NotifyClients();

    int LinkCount() const { return static_cast<int>(FClients.size()); }

private:
    std::vector<TVrChangeLink*> FClients;
};

class TVrChangeLink
{
public:
    TVrChangeLink() = default;
    TVrChangeLink(const TVrChangeLink&) = delete;
    TVrChangeLink& operator=(const TVrChangeLink&) = delete;
    virtual ~TVrChangeLink();

    // Calls OnChange with the shared component (not the link) as sender.
    virtual void Change();

    TVrSharedComponent* Sender() const { return FSender; }
    TNotifyEvent OnChange;

private:
    friend class TVrSharedComponent;
    TVrSharedComponent* FSender = nullptr;
};
