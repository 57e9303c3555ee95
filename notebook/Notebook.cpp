#include "Notebook.h"

#include "Database.h"
#include "Recordset.h"

Notebook::Notebook(Database &database, NotebookControls controls)
    : db(database), m_c(controls)
{
}

Notebook::~Notebook() = default;

void Notebook::SkinHotSpotClick(const QString &) {}
void Notebook::P1_Click() {}
void Notebook::P2_Click() {}
void Notebook::P3_Click() {}
void Notebook::P4_Click() {}
void Notebook::P5_Click() {}
void Notebook::cmdBack_Click() {}
void Notebook::cmdForward_Click() {}
void Notebook::cmdAdd_Click() {}
void Notebook::cmdDelete_Click() {}
bool Notebook::mayClose() { return true; }
