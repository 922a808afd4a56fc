#include "widgets/VrControlsComponent.h"

#include <algorithm>

TVrComponent::TVrComponent(QObject* AOwner) : QObject(AOwner), FVersion(VrLibraryVersion) {}

TVrSharedComponent::TVrSharedComponent(QObject* AOwner) : TVrComponent(AOwner) {}

TVrSharedComponent::~TVrSharedComponent()
{
    while (!FClients.empty())
        RemoveLink(FClients.back());
}

void TVrSharedComponent::InsertLink(TVrChangeLink* Link)
{
    if (!Link)
        return;
    // A link listed twice, or still listed by another component, would dangle once destroyed.
    if (Link->FSender)
        Link->FSender->RemoveLink(Link);
    Link->FSender = this;
    FClients.push_back(Link);
}

void TVrSharedComponent::RemoveLink(TVrChangeLink* Link)
{
    const auto it = std::find(FClients.begin(), FClients.end(), Link);
    if (it == FClients.end())
        return;
    Link->FSender = nullptr;
    FClients.erase(it);
}

void TVrSharedComponent::NotifyClients()
{
    // The count is read once, so links added by a handler are not called; a handler that
    // removes links ends the round early instead of reading past the list.
    const std::size_t count = FClients.size();
    for (std::size_t i = 0; i < count && i < FClients.size(); ++i)
        FClients[i]->Change();
}

TVrChangeLink::~TVrChangeLink()
{
    if (FSender)
        FSender->RemoveLink(this);
}

void TVrChangeLink::Change()
{
    if (OnChange)
        OnChange(FSender);
}
