#pragma once

// Base of every GDI object; stock objects live for the whole process.
class GdiObject {
 public:
  explicit GdiObject(bool stock = false) : mStock(stock) {}
  GdiObject(const GdiObject&) = delete;
  GdiObject& operator=(const GdiObject&) = delete;
  virtual ~GdiObject() = default;

  bool IsStock() const { return mStock; }

 private:
  bool mStock;
};
