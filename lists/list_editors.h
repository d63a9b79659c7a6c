#pragma once
// The list editors of the machine lists, together.
#include "lists/form_aliste.h"
#include "lists/form_ffliste.h"
#include "lists/form_fliste.h"
#include "lists/form_nliste.h"
#include "lists/form_nrliste.h"
#include "lists/form_pliste.h"
#include "lists/form_rustliste.h"
#include "lists/form_sliste.h"
#include "lists/form_vliste.h"
#include "lists/form_wliste.h"
#include "lists/form_zliste.h"

// A new program empties the lists: each open editor of N, W, S, F, P, A and
// V shows one row again.
void P_ResetListEditorRows();
