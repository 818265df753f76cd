// The runtimes' COM object base and their smart pointer, on toy interfaces.
#include "common/com_object.h"
#include "common/com_ptr.h"

#include <gtest/gtest.h>

namespace {

struct IShape : IUnknown {
    virtual int Corners() = 0;
};
struct IShape2 : IShape {
    virtual int Sides() = 0;
};
struct IColoured : IUnknown {
    virtual int Colour() = 0;
};
struct IUnrelated : IUnknown {};

} // namespace

ZV_COM_INTERFACE(IShape, IUnknown, {0x1, 0x1, 0x1, {1, 1, 1, 1, 1, 1, 1, 1}});
ZV_COM_INTERFACE(IShape2, IShape, {0x2, 0x2, 0x2, {2, 2, 2, 2, 2, 2, 2, 2}});
ZV_COM_INTERFACE(IColoured, IUnknown, {0x3, 0x3, 0x3, {3, 3, 3, 3, 3, 3, 3, 3}});
ZV_COM_INTERFACE(IUnrelated, IUnknown, {0x4, 0x4, 0x4, {4, 4, 4, 4, 4, 4, 4, 4}});

namespace {

using zv::runtime::Com;
using zv::runtime::ComObject;

class Square final : public ComObject<IShape2, IColoured> {
public:
    explicit Square(int* destroyed) : destroyed_(destroyed) {}
    ~Square() override { ++*destroyed_; }
    int Corners() override { return 4; }
    int Sides() override { return 4; }
    int Colour() override { return 0xFF0000; }

private:
    int* destroyed_;
};

template <class Interface> Interface* Query(IUnknown* object) {
    void* found = reinterpret_cast<void*>(1);
    HRESULT hr = object->QueryInterface(ComInterface<Interface>::iid, &found);
    EXPECT_EQ(hr, found ? S_OK : E_NOINTERFACE);
    return static_cast<Interface*>(found);
}

TEST(ComObject, CountsReferencesAndDeletesItselfAtZero) {
    int destroyed = 0;
    auto* square = new Square(&destroyed);
    EXPECT_EQ(square->AddRef(), 2u);
    EXPECT_EQ(square->Release(), 1u);
    EXPECT_EQ(destroyed, 0);
    EXPECT_EQ(square->Release(), 0u);
    EXPECT_EQ(destroyed, 1);
}

TEST(ComObject, AnswersForEveryListedInterfaceAndWhatTheyExtend) {
    int destroyed = 0;
    auto* square = new Square(&destroyed);
    IShape2* shape2 = square;

    IShape* shape = Query<IShape>(shape2);
    ASSERT_NE(shape, nullptr);
    EXPECT_EQ(shape->Corners(), 4);
    IColoured* coloured = Query<IColoured>(shape);
    ASSERT_NE(coloured, nullptr);
    EXPECT_EQ(coloured->Colour(), 0xFF0000);
    EXPECT_EQ(Query<IShape2>(coloured), shape2);
    EXPECT_EQ(Query<IUnrelated>(shape2), nullptr);

    // One identity, whichever interface asks.
    IUnknown* identity = Query<IUnknown>(shape2);
    EXPECT_EQ(Query<IUnknown>(coloured), identity);

    // Each successful query added one reference: shape, coloured, shape2,
    // and the two identities.
    EXPECT_EQ(shape2->AddRef(), 7u);
    for (int i = 0; i < 6; ++i)
        coloured->Release();
    EXPECT_EQ(destroyed, 0);
    EXPECT_EQ(identity->Release(), 0u);
    EXPECT_EQ(destroyed, 1);
}

TEST(ComObject, RefusesANullDestination) {
    int destroyed = 0;
    auto* square = new Square(&destroyed);
    EXPECT_EQ(square->QueryInterface(IID_IShape, nullptr), E_POINTER);
    EXPECT_EQ(square->Release(), 0u);
}

TEST(ComPointer, OwnsExactlyOneReference) {
    int destroyed = 0;
    {
        auto shape = Com<IShape2>::Adopt(new Square(&destroyed));
        Com<IShape2> copy = shape;
        EXPECT_EQ(copy->AddRef(), 3u);
        copy->Release();

        Com<IShape2> moved = std::move(copy);
        EXPECT_FALSE(copy);
        EXPECT_EQ(moved.Get(), shape.Get());

        Com<IColoured> coloured = shape.As<IColoured>();
        ASSERT_TRUE(coloured);
        EXPECT_EQ(coloured->Colour(), 0xFF0000);
        EXPECT_FALSE(shape.As<IUnrelated>());

        auto shared = Com<IShape2>::Share(shape.Get());
        EXPECT_EQ(shared->AddRef(), 5u);
        shared->Release();
        EXPECT_EQ(destroyed, 0);
    }
    EXPECT_EQ(destroyed, 1);
}

TEST(ComPointer, PutDropsTheOldReferenceAndDetachHandsItOver) {
    int destroyed = 0;
    auto shape = Com<IShape2>::Adopt(new Square(&destroyed));
    IShape2** slot = shape.Put();
    EXPECT_EQ(destroyed, 1);
    EXPECT_EQ(*slot, nullptr);
    *slot = new Square(&destroyed);

    IShape2* raw = shape.Detach();
    EXPECT_FALSE(shape);
    EXPECT_EQ(destroyed, 1);
    EXPECT_EQ(raw->Release(), 0u);
    EXPECT_EQ(destroyed, 2);
}

} // namespace
