#pragma once

#include <QObject>
#include <QString>
#include <QVariant>

// Gives a widget (or action) its resource identifier: object name "id_<number>" and the
// dynamic property "otdrId", so that code and tests find it by the number it is known by.
inline void otdrTagObject(QObject* object, int id)
{
    object->setObjectName(QStringLiteral("id_%1").arg(id));
    object->setProperty("otdrId", id);
}

// The identifier given by otdrTagObject, or 0.
inline int otdrIdOf(const QObject* object)
{
    return object ? object->property("otdrId").toInt() : 0;
}

// The first child of parent (at any depth) of type T that carries the identifier id.
template <typename T>
T* otdrFindChild(const QObject* parent, int id)
{
    return parent ? parent->findChild<T*>(QStringLiteral("id_%1").arg(id)) : nullptr;
}
