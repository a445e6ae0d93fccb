-- SPDX-License-Identifier: GPL-3.0-or-later
--
-- The default database tabwright.mdb, generated at build time.
--
-- How the database layer reads these declarations back (src/db/fieldtype.cpp):
--   VARCHAR(n)  text field of declared size n (1-255), enforced by a CHECK
--               constraint named "tw_size:<field>"; a field that refuses the
--               empty text carries a CHECK named "tw_nonempty:<field>"
--   TEXT        memo: text of any length, empty text allowed
--   INTEGER     long integer        DOUBLE    double
--   SMALLINT    integer (16 bit)    BOOLEAN, TINYINT, CURRENCY, FLOAT4,
--               DATETIME, BINARY(n), BLOB, GUID, BIGINT for the other types
-- Texts carry COLLATE NOCASE: they compare and sort without regard to case.
-- Keep the constraint names: the error mapping recognises them.

PRAGMA encoding = 'UTF-8';

BEGIN;

-- Saved queries of this database. Every database the program writes queries
-- into gets this table; its name begins "MSys" so table lists hide it.
CREATE TABLE "MSysQueries" (
  "Name" VARCHAR(255) NOT NULL COLLATE NOCASE
    CONSTRAINT "tw_size:Name" CHECK (length("Name") <= 255)
    CONSTRAINT "tw_nonempty:Name" CHECK ("Name" <> '')
    CONSTRAINT "tw_unique_query" UNIQUE,
  "SQL" TEXT COLLATE NOCASE,
  "Connect" TEXT COLLATE NOCASE,
  "ReturnsRecords" BOOLEAN NOT NULL DEFAULT 1
);

-- The column layout (ColumnSpec rows): one row per column of the layout, in the order
-- the rows were added (rowid order).
CREATE TABLE "tabwrite_settings" (
  "column_heading" VARCHAR(64) COLLATE NOCASE
    CONSTRAINT "tw_size:column_heading" CHECK (length("column_heading") <= 64),
  "get_data_from_column" INTEGER,
  "number_of_characters" INTEGER,
  "spaces_b4_next_column" INTEGER,
  "field_width" INTEGER
);

-- One row per named settings. Texts are memos so that any control text fits;
-- the name compares without regard to case, like table names.
CREATE TABLE "tabwrite_allFields" (
  "nameOfSettings" VARCHAR(255) COLLATE NOCASE CONSTRAINT "tw_size:nameOfSettings" CHECK (length("nameOfSettings") <= 255),
  "startLineAfter" TEXT COLLATE NOCASE,
  "textToMove" TEXT COLLATE NOCASE,
  "moveSpecificText" TEXT COLLATE NOCASE,
  "moveFromCol" DOUBLE,
  "moveNumOfChars" DOUBLE,
  "moveToCol" DOUBLE,
  "moveEndOfLine" SMALLINT,
  "moveOptions" TEXT COLLATE NOCASE,
  "moveSpaces" DOUBLE,
  "movePlaceSpaces" TEXT COLLATE NOCASE,
  "moveAfterProcess" SMALLINT,
  "moveAfterProcessShow" SMALLINT,
  "addText" TEXT COLLATE NOCASE,
  "addIfContains" TEXT COLLATE NOCASE,
  "addAtCol" DOUBLE,
  "addEndOfLine" SMALLINT,
  "addOptions" TEXT COLLATE NOCASE,
  "addSpaces" DOUBLE,
  "addPlaceSpaces" TEXT COLLATE NOCASE,
  "addAfterProcess" SMALLINT,
  "addAfterProcessShow" SMALLINT,
  "replaceText" TEXT COLLATE NOCASE,
  "replaceSpecificText" TEXT COLLATE NOCASE,
  "replaceAtCol" DOUBLE,
  "replaceNumOfChars" DOUBLE,
  "replaceWith" TEXT COLLATE NOCASE,
  "replaceEndOfLine" SMALLINT,
  "replaceAfterProcess" SMALLINT,
  "replaceAfterProcessShow" SMALLINT,
  "deleteText" TEXT COLLATE NOCASE,
  "deleteSpecificText" TEXT COLLATE NOCASE,
  "deleteFromCol" DOUBLE,
  "deleteNumOfChars" DOUBLE,
  "deleteEndOfLine" SMALLINT,
  "deleteOptions" TEXT COLLATE NOCASE,
  "deleteSpaces" DOUBLE,
  "deleteAfterProcess" SMALLINT,
  "deleteAfterProcessShow" SMALLINT,
  "formatCreate" TEXT COLLATE NOCASE,
  "formatRemoveDelimiter" SMALLINT,
  "formatDelimiter" TEXT COLLATE NOCASE,
  "formatUseDelimiterString" SMALLINT,
  "formatDelimiterString" TEXT COLLATE NOCASE,
  "formatMoveDelimiter" TEXT COLLATE NOCASE,
  "formatSpacesBetweenCols" DOUBLE,
  "formatAddText" TEXT COLLATE NOCASE,
  "formatTextToAdd" TEXT COLLATE NOCASE,
  "formatAddFromCol" DOUBLE,
  "formatNumOfChars" DOUBLE,
  "formatFirstSection" TEXT COLLATE NOCASE,
  "formatOptions" TEXT COLLATE NOCASE,
  "formatPlaceSpaces" TEXT COLLATE NOCASE,
  "formatSpaces" DOUBLE,
  "formatAfterProcess" SMALLINT,
  "formatAfterProcessShow" SMALLINT,
  "tabwriteStartLineAt" DOUBLE,
  "tabwriteAfterProcess" SMALLINT,
  "tabwriteAfterProcessShow" SMALLINT,
  "databaseProcessMethod" TEXT COLLATE NOCASE,
  "databaseDelimiter" TEXT COLLATE NOCASE
);
CREATE UNIQUE INDEX "nameOfSettings"
  ON "tabwrite_allFields" ("nameOfSettings" COLLATE NOCASE);

-- Title, column captions and section line of the ad-hoc report.
CREATE TABLE "SSysAdHocReportTitle" (
  "ReportTitle" TEXT COLLATE NOCASE,
  "Field1Name" VARCHAR(255) COLLATE NOCASE
    CONSTRAINT "tw_size:Field1Name" CHECK (length("Field1Name") <= 255),
  "Field2Name" VARCHAR(255) COLLATE NOCASE
    CONSTRAINT "tw_size:Field2Name" CHECK (length("Field2Name") <= 255),
  "Field3Name" VARCHAR(255) COLLATE NOCASE
    CONSTRAINT "tw_size:Field3Name" CHECK (length("Field3Name") <= 255),
  "Field4Name" VARCHAR(255) COLLATE NOCASE
    CONSTRAINT "tw_size:Field4Name" CHECK (length("Field4Name") <= 255),
  "Field5Name" VARCHAR(255) COLLATE NOCASE
    CONSTRAINT "tw_size:Field5Name" CHECK (length("Field5Name") <= 255),
  "Field6Name" VARCHAR(255) COLLATE NOCASE
    CONSTRAINT "tw_size:Field6Name" CHECK (length("Field6Name") <= 255),
  "Field7Name" VARCHAR(255) COLLATE NOCASE
    CONSTRAINT "tw_size:Field7Name" CHECK (length("Field7Name") <= 255),
  "section" VARCHAR(50) COLLATE NOCASE
    CONSTRAINT "tw_size:section" CHECK (length("section") <= 50)
);

COMMIT;
