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
  "SQL" TEXT,
  "Connect" TEXT,
  "ReturnsRecords" BOOLEAN NOT NULL DEFAULT 1
);

-- The column specification: one row per column of the layout, in the order
-- the rows were added (rowid order).
CREATE TABLE "tabwrite_settings" (
  "column_heading" VARCHAR(64)
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
  "startLineAfter" TEXT,
  "textToMove" TEXT,
  "moveSpecificText" TEXT,
  "moveFromCol" DOUBLE,
  "moveNumOfChars" DOUBLE,
  "moveToCol" DOUBLE,
  "moveEndOfLine" SMALLINT,
  "moveOptions" TEXT,
  "moveSpaces" DOUBLE,
  "movePlaceSpaces" TEXT,
  "moveAfterProcess" SMALLINT,
  "moveAfterProcessShow" SMALLINT,
  "addText" TEXT,
  "addIfContains" TEXT,
  "addAtCol" DOUBLE,
  "addEndOfLine" SMALLINT,
  "addOptions" TEXT,
  "addSpaces" DOUBLE,
  "addPlaceSpaces" TEXT,
  "addAfterProcess" SMALLINT,
  "addAfterProcessShow" SMALLINT,
  "replaceText" TEXT,
  "replaceSpecificText" TEXT,
  "replaceAtCol" DOUBLE,
  "replaceNumOfChars" DOUBLE,
  "replaceWith" TEXT,
  "replaceEndOfLine" SMALLINT,
  "replaceAfterProcess" SMALLINT,
  "replaceAfterProcessShow" SMALLINT,
  "deleteText" TEXT,
  "deleteSpecificText" TEXT,
  "deleteFromCol" DOUBLE,
  "deleteNumOfChars" DOUBLE,
  "deleteEndOfLine" SMALLINT,
  "deleteOptions" TEXT,
  "deleteSpaces" DOUBLE,
  "deleteAfterProcess" SMALLINT,
  "deleteAfterProcessShow" SMALLINT,
  "formatCreate" TEXT,
  "formatRemoveDelimiter" SMALLINT,
  "formatDelimiter" TEXT,
  "formatUseDelimiterString" SMALLINT,
  "formatDelimiterString" TEXT,
  "formatMoveDelimiter" TEXT,
  "formatSpacesBetweenCols" DOUBLE,
  "formatAddText" TEXT,
  "formatTextToAdd" TEXT,
  "formatAddFromCol" DOUBLE,
  "formatNumOfChars" DOUBLE,
  "formatFirstSection" TEXT,
  "formatOptions" TEXT,
  "formatPlaceSpaces" TEXT,
  "formatSpaces" DOUBLE,
  "formatAfterProcess" SMALLINT,
  "formatAfterProcessShow" SMALLINT,
  "tabwriteStartLineAt" DOUBLE,
  "tabwriteAfterProcess" SMALLINT,
  "tabwriteAfterProcessShow" SMALLINT,
  "databaseProcessMethod" TEXT,
  "databaseDelimiter" TEXT
);
CREATE UNIQUE INDEX "nameOfSettings"
  ON "tabwrite_allFields" ("nameOfSettings" COLLATE NOCASE);

-- Title, column captions and section line of the ad-hoc report.
CREATE TABLE "SSysAdHocReportTitle" (
  "ReportTitle" TEXT,
  "Field1Name" VARCHAR(255)
    CONSTRAINT "tw_size:Field1Name" CHECK (length("Field1Name") <= 255),
  "Field2Name" VARCHAR(255)
    CONSTRAINT "tw_size:Field2Name" CHECK (length("Field2Name") <= 255),
  "Field3Name" VARCHAR(255)
    CONSTRAINT "tw_size:Field3Name" CHECK (length("Field3Name") <= 255),
  "Field4Name" VARCHAR(255)
    CONSTRAINT "tw_size:Field4Name" CHECK (length("Field4Name") <= 255),
  "Field5Name" VARCHAR(255)
    CONSTRAINT "tw_size:Field5Name" CHECK (length("Field5Name") <= 255),
  "Field6Name" VARCHAR(255)
    CONSTRAINT "tw_size:Field6Name" CHECK (length("Field6Name") <= 255),
  "Field7Name" VARCHAR(255)
    CONSTRAINT "tw_size:Field7Name" CHECK (length("Field7Name") <= 255),
  "section" VARCHAR(50)
    CONSTRAINT "tw_size:section" CHECK (length("section") <= 50)
);

COMMIT;
