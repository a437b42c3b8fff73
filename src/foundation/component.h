// Component frame: TObject, TPersistent and TComponent with owner, name and tag.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "foundation/nuv_export.h"

namespace nuv {

class NUV_API TObject {
 public:
  TObject() = default;
  virtual ~TObject();
  TObject(const TObject&) = delete;
  TObject& operator=(const TObject&) = delete;

  /// Unqualified class name of the dynamic type ("TVector").
  std::string ClassName() const;
};

class NUV_API TPersistent : public TObject {
 public:
  /// Copies Source into this object. The base version asks Source to assign
  /// itself (AssignTo) and fails with EConvertError when it cannot.
  virtual void Assign(TPersistent* Source);
  /// Copies this object into Dest. The base version raises EConvertError.
  virtual void AssignTo(TPersistent* Dest);

 protected:
  /// Raises EConvertError "Cannot assign a <Source class> to a <Dest class>".
  [[noreturn]] static void AssignError(const TPersistent* Source, const TPersistent* Dest);
};

/// A component has an optional owner that destroys it, a Name quoted by error
/// messages and a Tag the library never reads. Owned components are destroyed
/// last-created first; a component deleted before its owner leaves the owner's list.
class NUV_API TComponent : public TPersistent {
 public:
  explicit TComponent(TComponent* AOwner = nullptr);
  ~TComponent() override;

  TComponent* Owner() const { return FOwner; }
  const std::string& Name() const { return FName; }
  void SetName(const std::string& Value) { FName = Value; }
  int32_t Tag() const { return FTag; }
  void SetTag(int32_t Value) { FTag = Value; }

  int32_t ComponentCount() const { return static_cast<int32_t>(FComponents.size()); }
  /// Owned component at 0-based Index, or nullptr outside the list.
  TComponent* Components(int32_t Index) const;
  /// Takes AComponent from its current owner (if any) into this one.
  void InsertComponent(TComponent* AComponent);
  /// Releases AComponent from this owner without destroying it.
  void RemoveComponent(TComponent* AComponent);
  /// Destroys every owned component, last first.
  void DestroyComponents();

 private:
  TComponent* FOwner = nullptr;
  std::string FName;
  int32_t FTag = 0;
  std::vector<TComponent*> FComponents;
};

}  // namespace nuv
