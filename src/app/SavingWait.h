// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class EncoderPipeline;
class QWidget;

// Waits, with a small window that says so, until every queued recording is encoded; returns at
// once when nothing is.
void waitUntilSaved(EncoderPipeline& pipeline, QWidget* parent);
