// Shapes shared by the customer and supplier sides of payments: the fields of a payment header,
// the fields of its instalments, and the owned cash-book movement of a payment or instalment.
// The two sides are twins; the parameters carry the few texts and items in which they differ.
#pragma once

#include <string_view>

namespace tillbook::engine {
class TableDef;
}

namespace tillbook::data {

// "Documento" ... "Contabilizza" of a payment header. The supplier side lets the insertion date
// be edited (`insertionReadOnly` false).
void AddPaymentFields(engine::TableDef& d, std::string_view startDateDescription,
                      bool insertionReadOnly);

// "NumeroRata" ... "Numero" of an instalment. Only customer instalments track unpaid ones
// ("DaVerificare", "Insoluto").
void AddInstalmentFields(engine::TableDef& d, std::string_view paidDescription, bool tracksUnpaid);

// An owned, optional `PrimaNota` movement under the reference `name` (group "PrimaNota").
void AddCashBookMovement(engine::TableDef& d, std::string_view name, std::string_view description);

}  // namespace tillbook::data
