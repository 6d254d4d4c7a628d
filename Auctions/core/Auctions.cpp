#include "Auctions.h"

Auctions::Auctions(QObject* parent) : QObject(parent) {}

void Auctions::Init(Clock&) {}

void Auctions::Load(XMLManager&) {}

void Auctions::Save(XMLManager&) {}
