#pragma once

class Database;

// Holds one read transaction on a connection for as long as it lives: from the
// first row read through the connection's cursors until it is destroyed, they
// all see the file as it was at that first read, whatever other connections
// commit meanwhile (their commits wait until it ends). Keep it short.
class ReadSnapshot
{
public:
    // Throws DataError when the transaction cannot begin.
    explicit ReadSnapshot(Database &db);
    ~ReadSnapshot();
    ReadSnapshot(const ReadSnapshot &) = delete;
    ReadSnapshot &operator=(const ReadSnapshot &) = delete;

private:
    Database &m_db;
};
