#pragma once

class XMLManager;

// Implemented by every stored object: it reads or writes its own properties on the manager's current
// element, which is the object's own element.
class IXMLPersist
{
public:
    virtual ~IXMLPersist() = default;
    virtual void Load(XMLManager& loader) = 0;
    virtual void Save(XMLManager& loader) = 0;
};
