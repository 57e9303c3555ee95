// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class FileLayout;

// The layout of data.mdb as this release writes it, composed here once from each core's steps
// (the notebook and food tables' from db/Schema, the log's from LogSchema) and handed to every
// path that meets a file: the start, the log's first write, an import and a restore.
namespace DataLayout {

const FileLayout &layout();

} // namespace DataLayout
