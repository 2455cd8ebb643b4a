// What every object handed to a view answers: its class name, by which the view decides
// what it was given ("UDC_Control", "FDF_Port", "RDM_SubDev", ...). Data objects are
// QObjects, so that a view holding one notices when it is gone.
//
//   class RDM_SubDev : public QObject, public HCF_Data {
//       Q_OBJECT
//   public:
//       QString DataClass() const override { return QStringLiteral("RDM_SubDev"); }
//   };
#pragma once

#include <QString>

class QObject;

namespace qel {

class HCF_Data {
  public:
    virtual ~HCF_Data() = default;
    virtual QString DataClass() const = 0;
};

// The class name a data object answers: its HCF_Data::DataClass, else its "DataClass"
// property, else the name of its C++ class. "Not Stated" for no object.
QString DataClassOf(const QObject* data);

}  // namespace qel
